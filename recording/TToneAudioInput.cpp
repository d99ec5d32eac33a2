#include "TToneAudioInput.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TToneAudioInput::TToneAudioInput(double frequency, double level, QObject* parent)
    : TPacedAudioInput(parent), frequency_(frequency), level_(std::clamp(level, 0.0, 1.0)) {}

void TToneAudioInput::Fill(uint8_t* out, int frames, qint64 first) {
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(first + i) / kRate;
        const double v = level_ * std::sin(2.0 * std::numbers::pi * frequency_ * t);
        const auto s = static_cast<uint8_t>(
            std::clamp(static_cast<int>(std::lround(v * 127.0)) + 128, 0, 255));
        out[2 * i] = s;
        out[2 * i + 1] = s;
    }
}
