#include "CodecTable.h"

#include <array>
#include <cstdint>

namespace CodecTable {
namespace {

struct Entry {
    const char* item;
    uint16_t tag;
    uint32_t bytesPerSec;
    uint16_t blockAlign;
    uint16_t bits;
    uint8_t extraSize;
    std::array<uint8_t, 12> extra;
};

// Every entry is mono at 11025 Hz. The extra bytes are little endian: samples per block for
// IMA ADPCM (505) and GSM (320); for MP3 ID 1 (uint16), flags 2 = padding off (uint32), block
// size 104, frames per block 1, codec delay 1393 (uint16 each).
constexpr std::array<Entry, kCount> kEntries{{
    {"a-Law", WaveTag::kALaw, 11025, 1, 8, 0, {}},
    {"u-Law", WaveTag::kMuLaw, 11025, 1, 8, 0, {}},
    {"IMA ADPCM", WaveTag::kImaAdpcm, 5588, 256, 4, 2, {0xF9, 0x01}},
    {"GSM", WaveTag::kGsm610, 2239, 65, 0, 2, {0x40, 0x01}},
    {"MP3",
     WaveTag::kMpegLayer3,
     2000,
     1,
     0,
     12,
     {0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x68, 0x00, 0x01, 0x00, 0x71, 0x05}},
}};

}  // namespace

std::optional<TdeWaveFormat> Format(int item) {
    if (item < 0 || item >= kCount) return std::nullopt;
    const Entry& e = kEntries[size_t(item)];
    TdeWaveFormat f;
    f.SetFormatTag(e.tag);
    f.SetChannels(1);
    f.SetSamplesPerSec(11025);
    f.SetAvgBytesPerSec(e.bytesPerSec);
    f.SetBlockAlign(e.blockAlign);
    f.SetBitsPerSample(e.bits);
    f.SetExtra(std::span(e.extra.data(), e.extraSize));
    return f;
}

const char* ItemName(int item) {
    if (item < 0 || item >= kCount) return "";
    return kEntries[size_t(item)].item;
}

TdeWaveFormat CaptureFormat() {
    return TdeWaveFormat::Pcm(2, 11025, 8);
}

TdeWaveFormat AnalysisFormat() {
    return TdeWaveFormat::Pcm(1, 8000, 8);
}

}  // namespace CodecTable
