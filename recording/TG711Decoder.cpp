#include "TG711Decoder.h"

#include "G711.h"

TG711Decoder::TG711Decoder(TG711Encoder::Law law) {
    for (int c = 0; c < 256; ++c)
        table_[size_t(c)] = law == TG711Encoder::Law::ALaw ? G711::ALawToLinear(uint8_t(c))
                                                           : G711::MuLawToLinear(uint8_t(c));
}

size_t TG711Decoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t at = out.size();
    out.resize(at + in.size() * 2);
    uint8_t* dst = out.data() + at;
    for (size_t i = 0; i < in.size(); ++i) {
        const uint16_t s = uint16_t(table_[in[i]]);
        dst[2 * i] = uint8_t(s);
        dst[2 * i + 1] = uint8_t(s >> 8);
    }
    return in.size();
}
