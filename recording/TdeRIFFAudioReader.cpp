#include "TdeRIFFAudioReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <string>

#include "AudioTexts.h"
#include "EAudioError.h"

namespace {

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

[[noreturn]] void Damaged(const char* what) {
    throw EAudioError(std::string(AudioTexts::kDamagedWaveFile) + what);
}

// A chunk id is four printable ASCII characters.
bool LooksLikeId(const uint8_t* p) {
    return std::all_of(p, p + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace

TdeRIFFAudioInfo TdeRIFFAudioReader::Parse(uint64_t fileSize, const ReadAt& read) {
    auto readExactly = [&read](uint64_t offset, std::span<uint8_t> into) {
        return read(offset, into) == into.size();
    };
    std::array<uint8_t, 12> head{};
    if (fileSize < head.size() || !readExactly(0, head) || std::memcmp(head.data(), "RIFF", 4) ||
        std::memcmp(head.data() + 8, "WAVE", 4))
        throw EAudioError(AudioTexts::kNotWaveFile);

    TdeRIFFAudioInfo info;
    bool haveFormat = false, haveData = false;
    uint64_t pos = 12;
    while (pos + 8 <= fileSize && !(haveFormat && haveData)) {
        std::array<uint8_t, 8> chunk{};
        if (!readExactly(pos, chunk)) break;
        const uint64_t body = pos + 8;
        const uint64_t size = Get32(chunk.data() + 4);
        const uint64_t available = fileSize - body;
        if (!std::memcmp(chunk.data(), "fmt ", 4)) {
            if (size > available) Damaged("the format chunk runs past the end of the file");
            // Only the first 512 bytes of a format can matter (18 + at most 494 extra bytes).
            std::vector<uint8_t> bytes(std::min<uint64_t>(size, TdeWaveFormat::kBufferSize));
            if (!readExactly(body, bytes)) Damaged("the format chunk cannot be read");
            info.format = TdeWaveFormat::FromBytes(bytes);
            const TdeWaveFormat& f = info.format;
            if (f.Channels() == 0 || f.SamplesPerSec() == 0 || f.BlockAlign() == 0)
                Damaged("the format has no channels, rate or block size");
            haveFormat = true;
        } else if (!std::memcmp(chunk.data(), "data", 4)) {
            info.dataOffset = body;
            // An unfinished recording has 0 in both lengths and its audio up to the end.
            const bool unfinished = size == 0 && Get32(head.data() + 4) == 0;
            info.dataLength = unfinished ? available : std::min(size, available);
            haveData = true;
            if (size > available) break;  // nothing can follow
        } else if (!std::memcmp(chunk.data(), "fact", 4) && size >= 4 && available >= 4) {
            std::array<uint8_t, 4> count{};
            if (readExactly(body, count)) info.factSamples = Get32(count.data());
        }
        uint64_t next = body + size;
        if (size & 1) {
            // The pad byte, unless the writer left it out and the next chunk starts right away.
            std::array<uint8_t, 4> id{};
            const bool unpadded =
                next + 8 <= fileSize && readExactly(next, id) && LooksLikeId(id.data()) &&
                !(next + 9 <= fileSize && readExactly(next + 1, id) && LooksLikeId(id.data()));
            if (!unpadded) ++next;
        }
        pos = next;
    }
    if (!haveFormat) Damaged("there is no format chunk");
    if (!haveData) Damaged("there is no data chunk");
    return info;
}

TdeRIFFAudioInfo TdeRIFFAudioReader::Parse(std::span<const uint8_t> image) {
    return Parse(image.size(), [image](uint64_t offset, std::span<uint8_t> into) -> size_t {
        if (offset >= image.size()) return 0;
        const size_t n = std::min<uint64_t>(into.size(), image.size() - offset);
        std::memcpy(into.data(), image.data() + offset, n);
        return n;
    });
}

TdeRIFFAudioInfo TdeRIFFAudioReader::ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (!file || ec) throw EAudioError(std::string(AudioTexts::kReadFile) + path.string());
    return Parse(size, [&file](uint64_t offset, std::span<uint8_t> into) -> size_t {
        file.clear();
        file.seekg(std::streamoff(offset));
        file.read(reinterpret_cast<char*>(into.data()), std::streamsize(into.size()));
        return size_t(file.gcount());
    });
}
