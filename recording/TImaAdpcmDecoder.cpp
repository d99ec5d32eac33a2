#include "TImaAdpcmDecoder.h"

TImaAdpcmDecoder::TImaAdpcmDecoder(size_t blockAlign)
    : blockAlign_(blockAlign), samplesPerBlock_(ImaAdpcm::SamplesPerBlock(blockAlign)) {}

size_t TImaAdpcmDecoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t blocks = in.size() / blockAlign_;
    size_t at = out.size();
    out.resize(at + blocks * samplesPerBlock_ * 2);
    for (size_t b = 0; b < blocks; ++b) {
        const uint8_t* src = in.data() + b * blockAlign_;
        uint8_t* dst = out.data() + at;
        auto put = [&dst](int16_t s) {
            *dst++ = uint8_t(s);
            *dst++ = uint8_t(uint16_t(s) >> 8);
        };
        ImaAdpcm::State state;
        state.predictor = int16_t(src[0] | src[1] << 8);
        state.index = src[2] > ImaAdpcm::kMaxIndex ? ImaAdpcm::kMaxIndex : src[2];
        put(int16_t(state.predictor));
        for (size_t o = ImaAdpcm::kHeaderBytes; o < blockAlign_; ++o) {
            put(ImaAdpcm::Decode(state, src[o] & 0x0F));
            put(ImaAdpcm::Decode(state, src[o] >> 4));
        }
        at += samplesPerBlock_ * 2;
    }
    return blocks * blockAlign_;
}
