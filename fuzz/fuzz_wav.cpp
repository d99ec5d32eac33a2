// Arbitrary bytes as a recording the player opens: the RIFF reader finds the format and the
// audio, and the audio goes through the converter into PCM in quarter-second pieces, as it is
// played. A refusal (EAudioError) is the expected answer to damage; a crash, a sanitizer report,
// any other exception or a hang is a fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "EAudioError.h"
#include "TdeAudioCodecs.h"
#include "TdeAudioConvertor.h"
#include "TdeRIFFAudioReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> image(data, size);
    try {
        const TdeRIFFAudioInfo info = TdeRIFFAudioReader::Parse(image);
        const auto pcm = TdeAudioCodecs::SuggestPcm(info.format);
        if (!pcm) return 0;
        TdeAudioConvertor convertor;
        convertor.SetInputFormat(info.format);
        convertor.SetOutputFormat(*pcm);
        size_t produced = 0;
        convertor.Subscribe(
            [&produced](TdeAudioConvertor&, std::span<const uint8_t> d) { produced += d.size(); });
        convertor.Open();
        // A quarter of a second in whole blocks, at least one block.
        const size_t block = std::max<size_t>(1, info.format.BlockAlign());
        const size_t piece =
            std::max(block, size_t(info.format.AvgBytesPerSec()) / 4 / block * block);
        const uint64_t end = std::min<uint64_t>(info.dataOffset + info.dataLength, size);
        for (uint64_t at = info.dataOffset; at < end; at += piece)
            convertor.Convert(image.subspan(at, std::min<uint64_t>(piece, end - at)));
        convertor.Close();
    } catch (const EAudioError&) {
    }
    return 0;
}
