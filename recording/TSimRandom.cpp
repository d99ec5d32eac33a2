#include "TSimRandom.h"

#include <chrono>
#include <cmath>

TSimRandom TSimRandom::FromClock() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return TSimRandom(static_cast<uint32_t>(ticks & 0xFFFFFFFFu));
}

double TSimRandom::Next() {
    state_ = state_ * 134775813u + 1u;
    return static_cast<double>(state_) / 4294967296.0;
}

int TSimRandom::Index() {
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(Next() * 49.0));
}
