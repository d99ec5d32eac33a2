#include "TImaAdpcmEncoder.h"

TImaAdpcmEncoder::TImaAdpcmEncoder(size_t blockAlign)
    : blockAlign_(blockAlign), samplesPerBlock_(ImaAdpcm::SamplesPerBlock(blockAlign)) {}

size_t TImaAdpcmEncoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t blocks = in.size() / InputBlockBytes();
    size_t at = out.size();
    out.resize(at + blocks * blockAlign_);
    const uint8_t* src = in.data();
    auto sample = [&src](size_t i) { return int16_t(src[2 * i] | src[2 * i + 1] << 8); };
    for (size_t b = 0; b < blocks; ++b) {
        uint8_t* dst = out.data() + at;
        const int16_t first = sample(0);
        state_.predictor = first;
        dst[0] = uint8_t(first);
        dst[1] = uint8_t(uint16_t(first) >> 8);
        dst[2] = uint8_t(state_.index);
        dst[3] = 0;
        for (size_t i = 1, o = ImaAdpcm::kHeaderBytes; i < samplesPerBlock_; i += 2, ++o) {
            const int lo = ImaAdpcm::Encode(state_, sample(i));
            const int hi = ImaAdpcm::Encode(state_, sample(i + 1));
            dst[o] = uint8_t(lo | hi << 4);
        }
        src += samplesPerBlock_ * 2;
        at += blockAlign_;
    }
    return blocks * InputBlockBytes();
}
