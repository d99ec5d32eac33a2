// ITU-T G.711 companding of 16-bit linear samples: A-law (13-bit magnitude, even bits inverted)
// and mu-law (14-bit magnitude, bias 33, all bits inverted).
#pragma once

#include <cstdint>

namespace G711 {

constexpr uint8_t LinearToALaw(int16_t sample) {
    int v = sample >> 3;  // 13-bit
    uint8_t mask = 0xD5;
    if (v < 0) {
        mask = 0x55;
        v = -v - 1;
    }
    int seg = 0;
    for (int end = 0x1F; seg < 8 && v > end; end = end << 1 | 1) ++seg;
    if (seg >= 8) return uint8_t(0x7F ^ mask);
    const int mantissa = seg < 2 ? (v >> 1) & 0x0F : (v >> seg) & 0x0F;
    return uint8_t((seg << 4 | mantissa) ^ mask);
}

constexpr int16_t ALawToLinear(uint8_t code) {
    code ^= 0x55;
    int t = (code & 0x0F) << 4;
    const int seg = (code & 0x70) >> 4;
    if (seg == 0)
        t += 8;
    else
        t = (t + 0x108) << (seg - 1);
    return int16_t((code & 0x80) ? t : -t);
}

constexpr uint8_t LinearToMuLaw(int16_t sample) {
    constexpr int kBias = 0x84 >> 2;  // 33 on the 14-bit scale
    constexpr int kClip = 8159;
    int v = sample >> 2;  // 14-bit
    uint8_t mask = 0xFF;
    if (v < 0) {
        v = -v;
        mask = 0x7F;
    }
    if (v > kClip) v = kClip;
    v += kBias;
    int seg = 0;
    for (int end = 0x3F; seg < 8 && v > end; end = end << 1 | 1) ++seg;
    if (seg >= 8) return uint8_t(0x7F ^ mask);
    return uint8_t((seg << 4 | ((v >> (seg + 1)) & 0x0F)) ^ mask);
}

constexpr int16_t MuLawToLinear(uint8_t code) {
    code = uint8_t(~code);
    int t = ((code & 0x0F) << 3) + 0x84;
    t <<= (code & 0x70) >> 4;
    return int16_t((code & 0x80) ? 0x84 - t : t - 0x84);
}

}  // namespace G711
