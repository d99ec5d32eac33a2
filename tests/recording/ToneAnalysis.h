// Test signals and their measurement: sine tones, levels and the strongest frequency. Plain
// C++, shared by the audio tests and the GUI tests that decode recordings.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

namespace audiotest {

inline constexpr double kRate = 11025.0;

// A sine tone as 16-bit samples.
inline std::vector<int16_t> Tone(double hz, double seconds, double amplitude = 12000.0,
                                 double rate = kRate) {
    std::vector<int16_t> s(size_t(seconds * rate));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate)));
    return s;
}

// The same tone in the capture format: 8-bit unsigned, both channels alike.
inline std::vector<uint8_t> CaptureTone(double hz, double seconds, double amplitude = 90.0) {
    std::vector<uint8_t> b(size_t(seconds * kRate) * 2);
    for (size_t i = 0; i < b.size() / 2; ++i) {
        const long v =
            128 + std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / kRate));
        b[2 * i] = b[2 * i + 1] = uint8_t(v);
    }
    return b;
}

inline std::vector<uint8_t> ToBytes(std::span<const int16_t> s) {
    std::vector<uint8_t> b(s.size() * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        b[2 * i] = uint8_t(s[i]);
        b[2 * i + 1] = uint8_t(uint16_t(s[i]) >> 8);
    }
    return b;
}

inline std::vector<int16_t> ToSamples(std::span<const uint8_t> b) {
    std::vector<int16_t> s(b.size() / 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(b[2 * i] | b[2 * i + 1] << 8);
    return s;
}

inline double Rms(std::span<const int16_t> s) {
    double sum = 0;
    for (int16_t v : s) sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

// The power of `s` at `hz` (a Goertzel filter over a Hann window).
inline double PowerAt(std::span<const int16_t> s, double hz, double rate) {
    const double w = 2 * std::numbers::pi * hz / rate, coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    const double n = double(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / n);
        const double s0 = hann * s[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The frequency of the strongest tone between 50 Hz and 5 kHz: a coarse search in 10 Hz steps
// on a short piece, then a fine one in 0.25 Hz steps on the whole of `s`.
inline double DominantFrequency(std::span<const int16_t> s, double rate = kRate) {
    const auto coarse = s.first(std::min<size_t>(s.size(), 2048));
    double best = 0, bestPower = -1;
    for (double f = 50; f <= 5000; f += 10) {
        const double p = PowerAt(coarse, f, rate);
        if (p > bestPower) bestPower = p, best = f;
    }
    const double centre = best;
    bestPower = -1;
    for (double f = centre - 15; f <= centre + 15; f += 0.25) {
        const double p = PowerAt(s, f, rate);
        if (p > bestPower) bestPower = p, best = f;
    }
    return best;
}

// The middle of a decoded signal, clear of codec delays and the start-up of adaptive codecs.
inline std::span<const int16_t> Steady(std::span<const int16_t> s, double rate = kRate) {
    const size_t skip = size_t(0.4 * rate);
    if (s.size() <= 2 * skip + 100) return {};
    return s.subspan(skip, s.size() - 2 * skip);
}

}  // namespace audiotest
