// The IMA/DVI ADPCM quantiser shared by the encoder and the decoder: 4-bit codes, a step table
// of 89 sizes and the index adaptation. A mono block starts with a 4-byte header (the first
// sample as int16, the step index, a zero byte), followed by the codes of the remaining samples,
// two to a byte, low nibble first.
#pragma once

#include <array>
#include <cstdint>

namespace ImaAdpcm {

inline constexpr std::array<int16_t, 89> kSteps{
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
inline constexpr std::array<int8_t, 16> kIndexAdjust{-1, -1, -1, -1, 2, 4, 6, 8,
                                                     -1, -1, -1, -1, 2, 4, 6, 8};
inline constexpr int kMaxIndex = 88;
inline constexpr size_t kHeaderBytes = 4;

constexpr size_t SamplesPerBlock(size_t blockAlign) {
    return (blockAlign - kHeaderBytes) * 2 + 1;
}

struct State {
    int predictor = 0;
    int index = 0;
};

// Applies `code` to the state (the decoder's step) and returns the new sample.
constexpr int16_t Decode(State& s, int code) {
    const int step = kSteps[size_t(s.index)];
    int diff = step >> 3;
    if (code & 4) diff += step;
    if (code & 2) diff += step >> 1;
    if (code & 1) diff += step >> 2;
    s.predictor += (code & 8) ? -diff : diff;
    if (s.predictor > 32767) s.predictor = 32767;
    if (s.predictor < -32768) s.predictor = -32768;
    s.index += kIndexAdjust[size_t(code)];
    if (s.index < 0) s.index = 0;
    if (s.index > kMaxIndex) s.index = kMaxIndex;
    return int16_t(s.predictor);
}

// The code that brings the predictor closest to `sample`; the state follows the decoder.
constexpr int Encode(State& s, int sample) {
    int diff = sample - s.predictor;
    int code = 0;
    if (diff < 0) {
        code = 8;
        diff = -diff;
    }
    int step = kSteps[size_t(s.index)];
    if (diff >= step) {
        code |= 4;
        diff -= step;
    }
    step >>= 1;
    if (diff >= step) {
        code |= 2;
        diff -= step;
    }
    step >>= 1;
    if (diff >= step) code |= 1;
    Decode(s, code);
    return code;
}

}  // namespace ImaAdpcm
