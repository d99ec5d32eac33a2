// The codecs: G.711 against its definition, IMA ADPCM's block layout, and encode/decode round
// trips of a 440 Hz tone through every codec of the codec table.
#include <gtest/gtest.h>

#include <random>

#include "AudioTestSupport.h"
#include "CodecTable.h"
#include "EAudioError.h"
#include "G711.h"
#include "TImaAdpcmDecoder.h"
#include "TImaAdpcmEncoder.h"
#include "TMp3Decoder.h"
#include "TMp3Encoder.h"
#include "TdeAudioCodecs.h"

using namespace audiotest;

namespace {

// Half the quantisation step of the segment a code lies in, on the 16-bit scale.
int ALawHalfStep(uint8_t code) {
    const int seg = ((code ^ 0x55) >> 4) & 7;
    return seg < 2 ? 8 : 8 << (seg - 1);
}

int MuLawHalfStep(uint8_t code) {
    return 4 << ((uint8_t(~code) >> 4) & 7);
}

std::vector<uint8_t> RunCodec(IAudioCodec& codec, std::span<const uint8_t> in) {
    std::vector<uint8_t> out;
    const size_t consumed = codec.Convert(in, out);
    EXPECT_EQ(consumed, in.size() / codec.InputBlockBytes() * codec.InputBlockBytes());
    EXPECT_LE(out.size(), codec.MaxOutputBytes(in.size()));
    return out;
}

}  // namespace

TEST(G711, KnownCodesAtZeroAndFullScale) {
    EXPECT_EQ(G711::LinearToALaw(0), 0xD5);
    EXPECT_EQ(G711::LinearToALaw(-1), 0x55);
    EXPECT_EQ(G711::LinearToALaw(32767), 0xAA);
    EXPECT_EQ(G711::LinearToALaw(-32768), 0x2A);
    EXPECT_EQ(G711::ALawToLinear(0xD5), 8);
    EXPECT_EQ(G711::ALawToLinear(0xAA), 32256);
    EXPECT_EQ(G711::ALawToLinear(0x2A), -32256);
    EXPECT_EQ(G711::LinearToMuLaw(0), 0xFF);
    EXPECT_EQ(G711::LinearToMuLaw(32767), 0x80);
    EXPECT_EQ(G711::LinearToMuLaw(-32768), 0x00);
    EXPECT_EQ(G711::MuLawToLinear(0xFF), 0);
    EXPECT_EQ(G711::MuLawToLinear(0x80), 32124);
    EXPECT_EQ(G711::MuLawToLinear(0x00), -32124);
}

TEST(G711, EveryCodeDecodesToAValueThatEncodesBackToIt) {
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(G711::LinearToALaw(G711::ALawToLinear(uint8_t(c))), c) << c;
        // mu-law has two zeros: 0x7F ("-0") decodes to 0, which encodes as 0xFF.
        if (c != 0x7F) {
            EXPECT_EQ(G711::LinearToMuLaw(G711::MuLawToLinear(uint8_t(c))), c) << c;
        }
    }
}

TEST(G711, EverySixteenBitValueComesBackWithinHalfItsSegmentStep) {
    for (int v = -32768; v <= 32767; ++v) {
        const uint8_t ca = G711::LinearToALaw(int16_t(v)), cu = G711::LinearToMuLaw(int16_t(v));
        const int a = G711::ALawToLinear(ca), u = G711::MuLawToLinear(cu);
        // Beyond the largest code the value is clipped to it.
        if (std::abs(v) < 32256 - 512) {
            ASSERT_LE(std::abs(a - v), ALawHalfStep(ca)) << v;
        }
        // mu-law drops the two lowest bits first (towards minus infinity): up to 3 more.
        if (std::abs(v) < 32124 - 1024) {
            ASSERT_LE(std::abs(u - v), MuLawHalfStep(cu) + 3) << v;
        }
        // Companding keeps the sign.
        if (v > 16) {
            ASSERT_GT(a, 0) << v;
        }
        if (v < -16) {
            ASSERT_LT(a, 0) << v;
        }
    }
}

TEST(ImaAdpcm, BlocksHoldTheFirstSampleExactlyAndAStepIndex) {
    const auto tone = Tone(440, 1.0);
    TImaAdpcmEncoder enc(256);
    ASSERT_EQ(enc.InputBlockBytes(), 505u * 2);
    const auto bytes = ToBytes(tone);
    const auto out = RunCodec(enc, bytes);
    ASSERT_EQ(out.size(), tone.size() / 505 * 256);
    for (size_t b = 0; b < out.size() / 256; ++b) {
        const uint8_t* block = out.data() + b * 256;
        EXPECT_EQ(int16_t(block[0] | block[1] << 8), tone[b * 505]) << b;
        EXPECT_LE(block[2], 88) << b;
        EXPECT_EQ(block[3], 0) << b;
    }
    TImaAdpcmDecoder dec(256);
    const auto decoded = ToSamples(RunCodec(dec, out));
    ASSERT_EQ(decoded.size(), out.size() / 256 * 505);
    for (size_t b = 0; b < out.size() / 256; ++b) EXPECT_EQ(decoded[b * 505], tone[b * 505]);
    // After the step size has adapted, each sample is close to the tone.
    for (size_t i = 2000; i < decoded.size(); ++i) ASSERT_NEAR(decoded[i], tone[i], 1200) << i;
}

TEST(ImaAdpcm, HostileBlocksDecodeWithoutFault) {
    std::mt19937 rng(7);
    std::vector<uint8_t> junk(256 * 40);
    for (auto& b : junk) b = uint8_t(rng());
    junk[2] = 255;  // a step index far beyond the table
    TImaAdpcmDecoder dec(256);
    const auto decoded = RunCodec(dec, junk);
    EXPECT_EQ(decoded.size(), 40u * 505 * 2);
}

// A 440 Hz tone through each codec of the table, encoded and decoded by the codec layer.
class CodecRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(CodecRoundTrip, ToneKeepsItsFrequencyAndLevel) {
    const TdeWaveFormat codec = *CodecTable::Format(GetParam());
    const TdeWaveFormat pcm = TdeWaveFormat::Pcm(1, 11025, 16);
    ASSERT_TRUE(TdeAudioCodecs::CanConvert(pcm, codec));
    ASSERT_TRUE(TdeAudioCodecs::CanConvert(codec, pcm));
    auto enc = TdeAudioCodecs::OpenStream(pcm, codec);
    auto dec = TdeAudioCodecs::OpenStream(codec, pcm);
    const auto tone = Tone(440, 3.0);
    const auto encoded = RunCodec(*enc, ToBytes(tone));
    ASSERT_FALSE(encoded.empty());
    const auto decoded = ToSamples(RunCodec(*dec, encoded));
    ExpectTone(decoded, 440, Rms(tone), CodecTable::ItemName(GetParam()));
    // Whole blocks in, whole blocks out.
    if (codec.BlockAlign() > 1) {
        EXPECT_EQ(encoded.size() % codec.BlockAlign(), 0u);
    }
}

std::string CodecName(const ::testing::TestParamInfo<int>& info) {
    const char* const names[] = {"ALaw", "MuLaw", "ImaAdpcm", "Gsm", "Mp3"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryCodec, CodecRoundTrip, ::testing::Range(0, CodecTable::kCount),
                         CodecName);

TEST(Mp3, FramesAreSixteenKilobitAtElevenKilohertzAndComeInPieces) {
    TMp3Encoder enc(11025, 2000);
    EXPECT_EQ(enc.BitRateKbps(), 16);
    const auto tone = ToBytes(Tone(440, 2.0));
    // Fed in capture-sized pieces as a recording does; the output is the frames as produced.
    std::vector<uint8_t> out;
    for (size_t at = 0; at < tone.size(); at += 2760)
        enc.Convert(std::span(tone).subspan(at, std::min<size_t>(2760, tone.size() - at)), out);
    ASSERT_GE(out.size(), 4u);
    // The first frame header: MPEG-2.5 Layer III, 16 kbit/s, 11025 Hz, mono.
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1] & 0xFE, 0xE2);   // sync, version 2.5, layer III
    EXPECT_EQ(out[2] >> 4, 2);        // bit-rate index 2: 16 kbit/s
    EXPECT_EQ((out[2] >> 2) & 3, 0);  // rate index 0 of 2.5: 11025 Hz
    EXPECT_EQ(out[3] >> 6, 3);        // mono
    // Frames of 104 or 105 bytes, whole frames only (the encoder holds back its look-ahead).
    size_t at = 0, frames = 0;
    while (at + 4 <= out.size()) {
        ASSERT_EQ(out[at], 0xFF) << at;
        const size_t len = 104 + ((out[at + 2] >> 1) & 1);
        at += len;
        ++frames;
    }
    EXPECT_EQ(at, out.size());
    // Two seconds are 38 frames of 576 samples; the encoder's delay holds a few back.
    EXPECT_GE(frames, 32u);
    EXPECT_LE(frames, 38u);
}

TEST(Mp3, DecoderSkipsJunkAndFindsTheFrames) {
    TMp3Encoder enc(11025, 2000);
    std::vector<uint8_t> stream(777, 0x5A);  // not MPEG audio
    const auto tone = ToBytes(Tone(440, 3.0));
    enc.Convert(tone, stream);
    TMp3Decoder dec;
    std::vector<uint8_t> decoded;
    // In pieces smaller than a frame: the decoder must carry partial frames over.
    for (size_t i = 0; i < stream.size(); i += 97)
        dec.Convert(std::span(stream).subspan(i, std::min<size_t>(97, stream.size() - i)), decoded);
    EXPECT_EQ(dec.Rate(), 11025);
    ExpectTone(ToSamples(decoded), 440, Rms(Tone(440, 3.0)), "mp3 after junk");
}

TEST(CodecLayer, FormatsItCannotHandleAreRefused) {
    const TdeWaveFormat pcm = TdeWaveFormat::Pcm(1, 11025, 16);
    TdeWaveFormat f = *CodecTable::Format(2);
    f.SetBlockAlign(255);  // 505 samples do not fit
    EXPECT_FALSE(TdeAudioCodecs::CanConvert(pcm, f));
    f = *CodecTable::Format(4);
    f.SetAvgBytesPerSec(1700);  // 13.6 kbit/s is no Layer III bit rate
    EXPECT_FALSE(TdeAudioCodecs::CanConvert(pcm, f));
    EXPECT_TRUE(TdeAudioCodecs::CanConvert(f, pcm));  // decoding does not care
    f = *CodecTable::Format(0);
    EXPECT_FALSE(TdeAudioCodecs::CanConvert(TdeWaveFormat::Pcm(1, 8000, 16), f));   // rate
    EXPECT_FALSE(TdeAudioCodecs::CanConvert(TdeWaveFormat::Pcm(2, 11025, 16), f));  // stereo
    EXPECT_FALSE(TdeAudioCodecs::CanConvert(*CodecTable::Format(0), *CodecTable::Format(1)));
    TdeWaveFormat unknown = pcm;
    unknown.SetFormatTag(0x1234);
    EXPECT_FALSE(TdeAudioCodecs::SuggestPcm(unknown));
    try {
        TdeAudioCodecs::OpenStream(pcm, unknown);
        FAIL() << "no error";
    } catch (const EAudioError& e) {
        EXPECT_STREQ(e.what(), "Conversion not possible.");
    }
}
