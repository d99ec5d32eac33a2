// Our recordings as other programs read them: every codec's file decoded by ffmpeg (and by sox
// where it knows the format) must give back the tone that was recorded.
#include <gtest/gtest.h>
#include <unistd.h>

#include "AudioTestSupport.h"
#include "CodecTable.h"
#include "G711.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioReader.h"

using namespace audiotest;
namespace fs = std::filesystem;

namespace {

constexpr double kHz = 440;
constexpr double kCaptureAmplitude = 90;  // of 127, in the 8-bit capture

class IndependentDecoding : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("pelm_decode_" + std::to_string(::getpid()) + "_" + std::to_string(GetParam()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Named as call completion names them: ".mp3" for MP3, ".wav" for the others.
        file = dir / (GetParam() == 4 ? "call.mp3" : "call.wav");
        capture = CaptureTone(kHz, 3.0, kCaptureAmplitude);
        TdeFileSink sink(file);
        ASSERT_EQ(Record(sink, *CodecTable::Format(GetParam()), capture), "");
    }
    void TearDown() override { fs::remove_all(dir); }
    // The level of the tone as it reaches the codec: 16-bit mono.
    static double InputRms() { return kCaptureAmplitude * 256 / std::sqrt(2.0); }
    std::string Errors() const {
        const auto e = ReadAll(dir / "errors.txt");
        return std::string(e.begin(), e.end());
    }

    fs::path dir, file;
    std::vector<uint8_t> capture;
};

const char* kName[] = {"ALaw", "MuLaw", "ImaAdpcm", "Gsm", "Mp3"};

}  // namespace

TEST_P(IndependentDecoding, FfprobeSeesTheCodecRateAndChannels) {
    if (!HaveTool("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    int status = 0;
    const auto out = RunCommand(
        "ffprobe -v error -show_entries stream=codec_name,sample_rate,"
        "channels -of default=nw=1 " +
            Quote(file) + " 2>" + Quote(dir / "errors.txt"),
        status);
    ASSERT_EQ(status, 0) << Errors();
    const std::string text(out.begin(), out.end());
    const char* codec[] = {"pcm_alaw", "pcm_mulaw", "adpcm_ima_wav", "gsm_ms", "mp3"};
    EXPECT_NE(text.find(std::string("codec_name=") + codec[GetParam()]), std::string::npos) << text;
    EXPECT_NE(text.find("sample_rate=11025"), std::string::npos) << text;
    EXPECT_NE(text.find("channels=1"), std::string::npos) << text;
}

TEST_P(IndependentDecoding, FfmpegDecodesTheTone) {
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    int status = 0;
    const auto decoded = DecodeWithFfmpeg(file, status, dir / "errors.txt");
    ASSERT_EQ(status, 0) << Errors();
    EXPECT_EQ(Errors(), "");
    ExpectTone(decoded, kHz, InputRms(), std::string("ffmpeg ") + kName[GetParam()]);
    // ffmpeg's count of samples agrees with the data chunk (MP3 aside: frames, not bytes).
    const auto info = TdeRIFFAudioReader::ReadFile(file);
    const size_t expected[] = {info.dataLength, info.dataLength, info.dataLength / 256 * 505,
                               info.dataLength / 65 * 320, 0};
    if (GetParam() < 4) {
        EXPECT_EQ(decoded.size(), expected[GetParam()]);
    }
}

TEST_P(IndependentDecoding, SoxDecodesTheTone) {
    if (GetParam() == 4) GTEST_SKIP() << "sox does not read MPEG audio inside WAV files";
    if (!HaveTool("sox")) GTEST_SKIP() << "sox is not installed";
    int status = 0;
    const auto decoded = DecodeWithSox(file, status, dir / "errors.txt");
    ASSERT_EQ(status, 0) << Errors();
    ExpectTone(decoded, kHz, InputRms(), std::string("sox ") + kName[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(EveryCodec, IndependentDecoding, ::testing::Range(0, CodecTable::kCount),
                         [](const auto& info) { return std::string(kName[info.param]); });

// G.711 sample by sample: ffmpeg's decoding of our file is the input to within half the step of
// each sample's segment, and it is exactly what our own decoder makes of the same bytes.
class G711BySample : public IndependentDecoding {};

TEST_P(G711BySample, EverySampleWithinTheCodecsStep) {
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    int status = 0;
    const auto decoded = DecodeWithFfmpeg(file, status, dir / "errors.txt");
    ASSERT_EQ(status, 0) << Errors();
    const size_t frames = capture.size() / 2;
    ASSERT_EQ(decoded.size(), frames);
    const auto bytes = ReadAll(file);
    const bool alaw = GetParam() == 0;
    for (size_t i = 0; i < frames; ++i) {
        const int in = (int(capture[2 * i]) - 128) * 256;  // both channels are alike
        const uint8_t code = bytes[46 + i];
        ASSERT_EQ(decoded[i], alaw ? G711::ALawToLinear(code) : G711::MuLawToLinear(code)) << i;
        // Half the step of the segment: 16 << (segment - 1) for A-law, 4 << segment for mu-law.
        const int seg = (code ^ (alaw ? 0x55 : 0xFF)) >> 4 & 7;
        const int halfStep = alaw ? (seg < 2 ? 8 : 8 << (seg - 1)) : 4 << seg;
        ASSERT_LE(std::abs(decoded[i] - in), halfStep + (alaw ? 0 : 4))
            << i << " code " << int(code);
    }
}

INSTANTIATE_TEST_SUITE_P(ALawAndMuLaw, G711BySample, ::testing::Values(0, 1),
                         [](const auto& info) { return std::string(kName[info.param]); });

namespace {
// The real file, with a disk that is full after `capacity` bytes.
class FullDiskSink : public IAudioFileSink {
public:
    FullDiskSink(const fs::path& path, uint64_t capacity) : file_(path), capacity_(capacity) {}
    bool WriteAt(uint64_t offset, std::span<const uint8_t> b) override {
        if (offset + b.size() <= capacity_) return file_.WriteAt(offset, b);
        if (offset < capacity_) file_.WriteAt(offset, b.first(capacity_ - offset));
        return false;
    }
    bool Truncate(uint64_t size) override { return file_.Truncate(size); }
    std::string Error() const override { return "No space left on device"; }

private:
    TdeFileSink file_;
    uint64_t capacity_;
};
}  // namespace

TEST(IndependentDecodingDiskFull, WhatWasWrittenBeforeTheDiskFilledUpPlaysInFfmpeg) {
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path dir = fs::temp_directory_path() / ("pelm_full_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (int item : {0, 2, 3, 4}) {
        SCOPED_TRACE(item);
        const fs::path file = dir / "call.wav";
        {
            FullDiskSink sink(file, 3000 + 17);  // in the middle of some block
            EXPECT_EQ(Record(sink, *CodecTable::Format(item), CaptureTone(kHz, 4.0)),
                      "Error writing the recording file: No space left on device");
        }
        const auto info = TdeRIFFAudioReader::ReadFile(file);
        EXPECT_EQ(info.dataOffset + info.dataLength, fs::file_size(file));
        EXPECT_LE(fs::file_size(file), 3017u);
        int status = 0;
        const auto decoded = DecodeWithFfmpeg(file, status, dir / "errors.txt");
        EXPECT_EQ(status, 0);
        const auto e = ReadAll(dir / "errors.txt");
        EXPECT_EQ(std::string(e.begin(), e.end()), "");
        EXPECT_GT(decoded.size(), 2000u);
    }
    fs::remove_all(dir);
}
