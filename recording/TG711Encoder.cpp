#include "TG711Encoder.h"

#include "G711.h"

size_t TG711Encoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t n = in.size() / 2;
    const size_t at = out.size();
    out.resize(at + n);
    uint8_t* dst = out.data() + at;
    const uint8_t* src = in.data();
    if (law_ == Law::ALaw) {
        for (size_t i = 0; i < n; ++i)
            dst[i] = G711::LinearToALaw(int16_t(src[2 * i] | src[2 * i + 1] << 8));
    } else {
        for (size_t i = 0; i < n; ++i)
            dst[i] = G711::LinearToMuLaw(int16_t(src[2 * i] | src[2 * i + 1] << 8));
    }
    return n * 2;
}
