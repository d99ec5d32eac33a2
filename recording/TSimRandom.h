// The simulator's pseudo-random generator: a 32-bit linear congruential state.
#pragma once

#include <cstdint>

class TSimRandom {
public:
    explicit TSimRandom(uint32_t seed) : state_(seed) {}
    // Seeded from the high-resolution clock.
    static TSimRandom FromClock();
    // state := state * 134775813 + 1 (mod 2^32); the result is state / 2^32, in [0, 1).
    double Next();
    // Round(Next() * 49), halves to even: 0 and 49 come up half as often as the others.
    int Index();
    uint32_t State() const { return state_; }

private:
    uint32_t state_;
};
