#include "TdeAudioCodecs.h"

#include <array>

#include "AudioTexts.h"
#include "EAudioError.h"
#include "ImaAdpcm.h"
#include "TG711Decoder.h"
#include "TG711Encoder.h"
#include "TGsmDecoder.h"
#include "TGsmEncoder.h"
#include "TImaAdpcmDecoder.h"
#include "TImaAdpcmEncoder.h"
#include "TMp3Decoder.h"
#include "TMp3Encoder.h"
#include "TPcmConverter.h"

namespace TdeAudioCodecs {
namespace {

// The rates of MPEG-1, -2 and -2.5 and the bit rates (kbit/s) each allows in Layer III.
bool Mp3RateAndBitRate(uint32_t rate, uint32_t bytesPerSec) {
    constexpr std::array<uint32_t, 3> kMpeg1{32000, 44100, 48000};
    constexpr std::array<uint32_t, 6> kMpeg2{8000, 11025, 12000, 16000, 22050, 24000};
    constexpr std::array<int, 14> kMpeg1Kbps{32,  40,  48,  56,  64,  80,  96,
                                             112, 128, 160, 192, 224, 256, 320};
    constexpr std::array<int, 14> kMpeg2Kbps{8,  16, 24, 32,  40,  48,  56,
                                             64, 80, 96, 112, 128, 144, 160};
    const int kbps = int((uint64_t(bytesPerSec) * 8 + 500) / 1000);
    auto has = [](const auto& list, auto v) {
        for (auto x : list)
            if (x == v) return true;
        return false;
    };
    if (has(kMpeg1, rate)) return has(kMpeg1Kbps, kbps);
    if (has(kMpeg2, rate)) return has(kMpeg2Kbps, kbps);
    return false;
}

bool IsPcm16MonoAt(const TdeWaveFormat& f, uint32_t rate) {
    return TPcmConverter::Supports(f) && f.Channels() == 1 && f.BitsPerSample() == 16 &&
           f.SamplesPerSec() == rate;
}

bool IsMpegRate(uint32_t rate) {
    for (uint32_t r : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000})
        if (r == rate) return true;
    return false;
}

}  // namespace

bool CanDecode(const TdeWaveFormat& f) {
    // Files from other programs: the byte rate is not checked, and a missing samples-per-block
    // field is taken to be the one that follows from the block align.
    if (f.SamplesPerSec() == 0 || f.SamplesPerSec() > 384000) return false;
    switch (f.FormatTag()) {
        case WaveTag::kALaw:
        case WaveTag::kMuLaw:
            return f.Channels() == 1 && f.BitsPerSample() == 8 && f.BlockAlign() == 1;
        case WaveTag::kImaAdpcm:
            return f.Channels() == 1 && f.BitsPerSample() == 4 && f.BlockAlign() >= 5 &&
                   f.BlockAlign() <= 4096 &&
                   (f.ExtraSize() < 2 ||
                    f.ExtraWord(0) == ImaAdpcm::SamplesPerBlock(f.BlockAlign()));
        case WaveTag::kGsm610:
            return f.Channels() == 1 && f.BlockAlign() == TGsmDecoder::kBlockBytes &&
                   (f.ExtraSize() < 2 || f.ExtraWord(0) == TGsmDecoder::kSamplesPerBlock);
        case WaveTag::kMpegLayer3:
            // Any bit rate; stereo is mixed into mono.
            return (f.Channels() == 1 || f.Channels() == 2) && IsMpegRate(f.SamplesPerSec());
        default:
            return false;
    }
}

bool CanEncode(const TdeWaveFormat& f) {
    if (f.Channels() != 1 || f.SamplesPerSec() == 0 || f.SamplesPerSec() > 384000) return false;
    switch (f.FormatTag()) {
        case WaveTag::kALaw:
        case WaveTag::kMuLaw:
            return f.BitsPerSample() == 8 && f.BlockAlign() == 1 &&
                   f.AvgBytesPerSec() == f.SamplesPerSec();
        case WaveTag::kImaAdpcm:
            return f.BitsPerSample() == 4 && f.BlockAlign() >= 5 && f.BlockAlign() <= 4096 &&
                   f.ExtraSize() >= 2 &&
                   f.ExtraWord(0) == ImaAdpcm::SamplesPerBlock(f.BlockAlign());
        case WaveTag::kGsm610:
            return f.BlockAlign() == TGsmEncoder::kBlockBytes && f.ExtraSize() >= 2 &&
                   f.ExtraWord(0) == TGsmEncoder::kSamplesPerBlock;
        case WaveTag::kMpegLayer3:
            return Mp3RateAndBitRate(f.SamplesPerSec(), f.AvgBytesPerSec());
        default:
            return false;
    }
}

std::optional<TdeWaveFormat> SuggestPcm(const TdeWaveFormat& f) {
    if (f.IsPcm()) {
        if (TPcmConverter::Supports(f)) return f;
        return std::nullopt;
    }
    if (!CanDecode(f)) return std::nullopt;
    return TdeWaveFormat::Pcm(1, f.SamplesPerSec(), 16);
}

bool CanConvert(const TdeWaveFormat& in, const TdeWaveFormat& out) {
    if (TPcmConverter::Supports(in) && TPcmConverter::Supports(out)) return true;
    if (CanEncode(out)) return IsPcm16MonoAt(in, out.SamplesPerSec());
    if (CanDecode(in)) return IsPcm16MonoAt(out, in.SamplesPerSec());
    return false;
}

std::unique_ptr<IAudioCodec> OpenStream(const TdeWaveFormat& in, const TdeWaveFormat& out) {
    if (!CanConvert(in, out)) throw EAudioError(AudioTexts::kConversionNotPossible);
    if (in.IsPcm() && out.IsPcm()) return std::make_unique<TPcmConverter>(in, out);
    const bool encode = in.IsPcm();
    const TdeWaveFormat& codec = encode ? out : in;
    switch (codec.FormatTag()) {
        case WaveTag::kALaw:
        case WaveTag::kMuLaw: {
            const auto law = codec.FormatTag() == WaveTag::kALaw ? TG711Encoder::Law::ALaw
                                                                 : TG711Encoder::Law::MuLaw;
            if (encode) return std::make_unique<TG711Encoder>(law);
            return std::make_unique<TG711Decoder>(law);
        }
        case WaveTag::kImaAdpcm:
            if (encode) return std::make_unique<TImaAdpcmEncoder>(codec.BlockAlign());
            return std::make_unique<TImaAdpcmDecoder>(codec.BlockAlign());
        case WaveTag::kGsm610:
            if (encode) return std::make_unique<TGsmEncoder>();
            return std::make_unique<TGsmDecoder>();
        case WaveTag::kMpegLayer3:
            if (encode)
                return std::make_unique<TMp3Encoder>(codec.SamplesPerSec(), codec.AvgBytesPerSec());
            return std::make_unique<TMp3Decoder>();
    }
    throw EAudioError(AudioTexts::kConversionNotPossible);
}

}  // namespace TdeAudioCodecs
