// Where the RIFF writer puts its bytes: a file that may refuse a write (disk full, folder gone).
#pragma once

#include <cstdint>
#include <span>
#include <string>

class IAudioFileSink {
public:
    virtual ~IAudioFileSink() = default;
    // Writes all of `bytes` at `offset`. False when it could not (some may have been written);
    // Error() then says why.
    virtual bool WriteAt(uint64_t offset, std::span<const uint8_t> bytes) = 0;
    // Cuts the file to `size` bytes.
    virtual bool Truncate(uint64_t size) = 0;
    // Makes what was written so far durable (on disk, it survives a power cut).
    virtual bool Flush() { return true; }
    // The reason of the last failure, e.g. "No space left on device".
    virtual std::string Error() const = 0;
};
