// A recording file on disk as the RIFF writer's sink. The file is created empty (an existing
// file is replaced), readable and writable by its owner only.
#pragma once

#include <filesystem>

#include "IAudioFileSink.h"

class TdeFileSink : public IAudioFileSink {
public:
    // Raises EAudioError "Can not create the recording file <path>: <reason>" on failure.
    explicit TdeFileSink(const std::filesystem::path& path);
    ~TdeFileSink() override;
    TdeFileSink(const TdeFileSink&) = delete;
    TdeFileSink& operator=(const TdeFileSink&) = delete;

    bool WriteAt(uint64_t offset, std::span<const uint8_t> bytes) override;
    bool Truncate(uint64_t size) override;
    bool Flush() override;
    std::string Error() const override { return error_; }
    // Closes the file; false (with Error()) when the system reports a failure on closing.
    bool Close();

private:
    bool Fail();
    int fd_ = -1;
    std::string error_;
};
