// The formats of the recording path: the five codec formats a recording can be written in
// (index = the configuration's compression item), the capture format and the analysis format.
#pragma once

#include <optional>

#include "TdeWaveFormat.h"

namespace CodecTable {
inline constexpr int kCount = 5;

// The target format of compression item `item` (0 "a-Law", 1 "u-Law", 2 "IMA ADPCM", 3 "GSM",
// 4 "MP3"); none outside 0..4.
std::optional<TdeWaveFormat> Format(int item);
// The item's name as the configuration lists it; empty outside 0..4.
const char* ItemName(int item);

// The capture format (the recorder's AudioInFormat): PCM, 2 channels, 11025 Hz, 8 bits.
TdeWaveFormat CaptureFormat();
// What the analysis converter makes of the capture: PCM, 1 channel, 8000 Hz, 8 bits.
TdeWaveFormat AnalysisFormat();
}  // namespace CodecTable
