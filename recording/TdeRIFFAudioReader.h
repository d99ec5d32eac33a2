// Reads the layout of a RIFF WAVE file: its format and where its audio lies. Walks the chunks
// after "WAVE" in order, as other programs write them too: "fact", "LIST" and unknown chunks
// are passed over, an odd-sized chunk is followed by its pad byte (or, when the writer left the
// pad byte out, directly by the next chunk). Every size is checked against the file: a data
// chunk that claims more than the file holds (or 0 in an unfinished recording) is taken to end
// with the file; a format chunk that runs past the end is damage.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "TdeWaveFormat.h"

struct TdeRIFFAudioInfo {
    TdeWaveFormat format;
    uint64_t dataOffset = 0;  // of the first audio byte
    uint64_t dataLength = 0;  // the audio bytes, within the file
    // The sample count of a "fact" chunk, when there is one.
    std::optional<uint32_t> factSamples;
};

class TdeRIFFAudioReader {
public:
    // Reads up to `into.size()` bytes at `offset`, returns how many it read.
    using ReadAt = std::function<size_t(uint64_t offset, std::span<uint8_t> into)>;

    // Raise EAudioError: "The file is not a WAV file." when it is no RIFF WAVE file, "The WAV
    // file is damaged: ..." when a chunk the player needs is missing or broken, "The wave format
    // buffer is too small." for a format with more than 494 extra bytes.
    static TdeRIFFAudioInfo Parse(uint64_t fileSize, const ReadAt& read);
    static TdeRIFFAudioInfo Parse(std::span<const uint8_t> image);
    // Also "Can not read the file <path>" when it cannot be opened.
    static TdeRIFFAudioInfo ReadFile(const std::filesystem::path& path);
};
