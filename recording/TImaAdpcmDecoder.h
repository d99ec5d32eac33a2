// IMA ADPCM decoding, mono: each block of `blockAlign` bytes gives (blockAlign - 4) * 2 + 1
// samples. A step index above 88 in a block header (a damaged file) is taken as 88.
#pragma once

#include "IAudioCodec.h"
#include "ImaAdpcm.h"

class TImaAdpcmDecoder : public IAudioCodec {
public:
    explicit TImaAdpcmDecoder(size_t blockAlign = 256);
    size_t InputBlockBytes() const override { return blockAlign_; }
    size_t MaxOutputBytes(size_t inputBytes) const override {
        return inputBytes / blockAlign_ * samplesPerBlock_ * 2;
    }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    size_t blockAlign_;
    size_t samplesPerBlock_;
};
