// Signals, measurements, sinks and external decoders for the audio tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CodecTable.h"
#include "IAudioFileSink.h"
#include "TdeAudioConvertor.h"
#include "TdeRIFFAudioWriter.h"
#include "TdeWaveFormat.h"
#include "ToneAnalysis.h"

namespace audiotest {

inline constexpr size_t kCaptureBlock = 2760;  // the capture buffer: about 1/8 s

// Checks a decoded tone: frequency within 2 %, level within 3 dB of the tone that went in.
inline void ExpectTone(std::span<const int16_t> decoded, double hz, double inputRms,
                       const std::string& what, double rate = kRate) {
    const auto steady = Steady(decoded, rate);
    ASSERT_FALSE(steady.empty()) << what << ": only " << decoded.size() << " samples";
    const double f = DominantFrequency(steady, rate);
    EXPECT_NEAR(f, hz, hz * 0.02) << what;
    const double db = 20 * std::log10(Rms(steady) / inputRms);
    EXPECT_LT(std::abs(db), 3.0) << what << ": level " << db << " dB";
}

// A sink in memory, optionally "full" after `capacity` bytes: a write that reaches past it
// writes what fits and fails with ENOSPC, as a full disk does.
class MemorySink : public IAudioFileSink {
public:
    std::vector<uint8_t> bytes;
    std::optional<uint64_t> capacity;
    int writes = 0;
    bool WriteAt(uint64_t offset, std::span<const uint8_t> data) override {
        ++writes;
        uint64_t n = data.size();
        bool ok = true;
        if (capacity && offset + n > *capacity) {
            n = offset < *capacity ? *capacity - offset : 0;
            ok = false;
        }
        if (offset + n > bytes.size()) bytes.resize(offset + n);
        std::memcpy(bytes.data() + offset, data.data(), n);
        if (!ok) error_ = std::strerror(ENOSPC);
        return ok;
    }
    bool Truncate(uint64_t size) override {
        bytes.resize(size);
        return true;
    }
    // Flushes are counted; `flushError` makes them fail with that errno.
    int flushes = 0;
    int flushError = 0;
    bool Flush() override {
        ++flushes;
        if (flushError) error_ = std::strerror(flushError);
        return flushError == 0;
    }
    std::string Error() const override { return error_; }

private:
    std::string error_;
};

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::filesystem::path& p, std::span<const uint8_t> b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline uint32_t Get32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

inline bool HaveTool(const char* name) {
    const std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

// Runs a shell command and returns its standard output; the exit status goes to `status`.
inline std::vector<uint8_t> RunCommand(const std::string& cmd, int& status) {
    std::vector<uint8_t> out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        status = -1;
        return out;
    }
    uint8_t buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.insert(out.end(), buf, buf + n);
    const int rc = pclose(p);
    status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline std::string Quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// The file as ffmpeg decodes it: 16-bit mono at 11025 Hz.
inline std::vector<int16_t> DecodeWithFfmpeg(const std::filesystem::path& file, int& status,
                                             const std::filesystem::path& errors) {
    const auto out =
        RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) +
                       " -f s16le -acodec pcm_s16le -ac 1 -ar 11025 - 2>" + Quote(errors),
                   status);
    return ToSamples(out);
}

// The file as sox decodes it: 16-bit mono at the file's rate (11025 Hz).
inline std::vector<int16_t> DecodeWithSox(const std::filesystem::path& file, int& status,
                                          const std::filesystem::path& errors) {
    const auto out = RunCommand(
        "sox -V1 " + Quote(file) + " -t raw -e signed-integer -b 16 -c 1 - 2>" + Quote(errors),
        status);
    return ToSamples(out);
}

// Everything `convertor` delivers, collected.
inline std::vector<uint8_t>& Collect(TdeAudioConvertor& convertor, std::vector<uint8_t>& into) {
    convertor.Subscribe([&into](TdeAudioConvertor&, std::span<const uint8_t> d) {
        into.insert(into.end(), d.begin(), d.end());
    });
    return into;
}

// Feeds `data` to the converter in blocks of `block` bytes (the last one may be shorter).
inline void Feed(TdeAudioConvertor& convertor, std::span<const uint8_t> data,
                 size_t block = kCaptureBlock) {
    for (size_t at = 0; at < data.size(); at += block)
        convertor.Convert(data.subspan(at, std::min(block, data.size() - at)));
}

// A recording as the capture component makes it: capture-format blocks of 2760 bytes through
// the file converter into the RIFF writer on `sink`; then the converter and the writer are
// closed. A write error ends the recording early; its text is returned ("" when none).
inline std::string Record(IAudioFileSink& sink, const TdeWaveFormat& format,
                          std::span<const uint8_t> capture) {
    std::string error;
    {
        TdeRIFFAudioWriter writer(sink, format);
        TdeAudioConvertor convertor;
        convertor.SetInputFormat(CodecTable::CaptureFormat());
        convertor.SetOutputFormat(format);
        convertor.Subscribe(
            [&writer](TdeAudioConvertor&, std::span<const uint8_t> d) { writer.Write(d); });
        convertor.Open();
        try {
            Feed(convertor, capture);
        } catch (const std::exception& e) {
            error = e.what();
        }
        convertor.Close();
        writer.Close();
    }
    return error;
}

}  // namespace audiotest
