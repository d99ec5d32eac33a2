// The data-access error every refusal of the engine is raised as.
#pragma once

#include <stdexcept>
#include <string>

class EVolgaError : public std::runtime_error {
public:
    explicit EVolgaError(const std::string& message) : std::runtime_error(message) {}
};

// printf-style formatting of the engine's message templates ("Field '%s' not found").
std::string VolgaFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
