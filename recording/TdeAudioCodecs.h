// The codec layer the converters plan and convert with (the counterpart of the platform's
// audio compression manager): which conversions exist, which PCM format goes with a format,
// and conversion streams.
//
// A stream exists between any two PCM formats that TPcmConverter supports, and between a codec
// format and 16-bit mono PCM at the codec's rate, in either direction. The codec formats are
// mono: A-law and mu-law (8 bits, block align 1), IMA ADPCM (4 bits, block align 5 to 4096 with
// the samples per block that follow from it in the extra bytes), GSM 6.10 (65-byte blocks of
// 320 samples) and MPEG Layer III (an MPEG rate and Layer III bit rate).
#pragma once

#include <memory>
#include <optional>

#include "IAudioCodec.h"
#include "TdeWaveFormat.h"

namespace TdeAudioCodecs {
// True when one stream converts `in` into `out`.
bool CanConvert(const TdeWaveFormat& in, const TdeWaveFormat& out);
// The PCM format that goes with `format`: for a codec format 16-bit mono PCM at its rate, for a
// supported PCM format the format itself; none for anything else.
std::optional<TdeWaveFormat> SuggestPcm(const TdeWaveFormat& format);
// A stream from `in` to `out`; raises "Conversion not possible." when there is none.
std::unique_ptr<IAudioCodec> OpenStream(const TdeWaveFormat& in, const TdeWaveFormat& out);
// True for the codec formats above (not PCM) that PCM can be encoded into.
bool CanEncode(const TdeWaveFormat& format);
// True for the codec formats that can be decoded into PCM: as for encoding, but as files from
// other programs have them: any byte rate, the samples per block may be missing, MPEG audio at
// any bit rate, mono or stereo (mixed into mono).
bool CanDecode(const TdeWaveFormat& format);
}  // namespace TdeAudioCodecs
