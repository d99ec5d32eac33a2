// The input the codec benchmarks encode: 16-bit mono at 11025 Hz, two tones and a little noise,
// about as busy as speech for the adaptive codecs.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace codecbench {

inline std::vector<uint8_t> Input(double seconds) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    const size_t n = size_t(seconds * 11025);
    std::vector<uint8_t> b(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / 11025;
        const double v = 0.4 * std::sin(2 * std::numbers::pi * 440 * t) +
                         0.1 * std::sin(2 * std::numbers::pi * 1234 * t) + 0.05 * noise(rng);
        const auto s = uint16_t(int16_t(std::lround(v * 32767)));
        b[2 * i] = uint8_t(s);
        b[2 * i + 1] = uint8_t(s >> 8);
    }
    return b;
}

}  // namespace codecbench
