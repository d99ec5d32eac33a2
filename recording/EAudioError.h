// The error every refusal of the audio layer (formats, converters, WAV files) is raised as.
#pragma once

#include <stdexcept>
#include <string>

class EAudioError : public std::runtime_error {
public:
    explicit EAudioError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    // The platform result code behind the message, 0 when there is none.
    int Code() const { return code_; }

private:
    int code_;
};
