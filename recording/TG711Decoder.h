// G.711 decoding (A-law or mu-law): one 16-bit sample per byte.
#pragma once

#include <array>

#include "IAudioCodec.h"
#include "TG711Encoder.h"

class TG711Decoder : public IAudioCodec {
public:
    explicit TG711Decoder(TG711Encoder::Law law);
    size_t InputBlockBytes() const override { return 1; }
    size_t MaxOutputBytes(size_t inputBytes) const override { return inputBytes * 2; }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    std::array<int16_t, 256> table_{};
};
