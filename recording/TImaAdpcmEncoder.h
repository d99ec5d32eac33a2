// IMA ADPCM encoding, mono: blocks of `blockAlign` bytes (256 in the codec table: 505 samples).
// The step index carries over from block to block; each block restarts the predictor at its
// first sample, which the header holds exactly.
#pragma once

#include "IAudioCodec.h"
#include "ImaAdpcm.h"

class TImaAdpcmEncoder : public IAudioCodec {
public:
    explicit TImaAdpcmEncoder(size_t blockAlign = 256);
    size_t InputBlockBytes() const override { return samplesPerBlock_ * 2; }
    size_t MaxOutputBytes(size_t inputBytes) const override {
        return inputBytes / InputBlockBytes() * blockAlign_;
    }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    size_t blockAlign_;
    size_t samplesPerBlock_;
    ImaAdpcm::State state_;
};
