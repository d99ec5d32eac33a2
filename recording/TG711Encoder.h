// G.711 encoding (A-law or mu-law): one byte per 16-bit sample.
#pragma once

#include "IAudioCodec.h"

class TG711Encoder : public IAudioCodec {
public:
    enum class Law { ALaw, MuLaw };
    explicit TG711Encoder(Law law) : law_(law) {}
    size_t InputBlockBytes() const override { return 2; }
    size_t MaxOutputBytes(size_t inputBytes) const override { return inputBytes / 2; }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    Law law_;
};
