// One direction of a codec (an encoder or a decoder) as a conversion stream over bytes. The PCM
// side is always 16-bit mono samples, little endian; the other side is the codec's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class IAudioCodec {
public:
    virtual ~IAudioCodec() = default;
    // The bytes of one whole input block. Conversion consumes whole blocks only.
    virtual size_t InputBlockBytes() const = 0;
    // The most output that `inputBytes` of input can produce; 0 when they hold no whole block.
    // (For MP3 decoding, whose frames differ in size, an estimate.)
    virtual size_t MaxOutputBytes(size_t inputBytes) const = 0;
    // Converts the whole blocks at the front of `in`, appends what they produce to `out` and
    // returns the number of input bytes consumed (a multiple of InputBlockBytes()).
    virtual size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) = 0;
};
