// Conversion between PCM formats: 8-bit unsigned or 16-bit signed samples, one or two channels,
// any sample rate. Two channels are mixed into one by their mean, one is copied into two; the
// rate is changed by linear interpolation (the same rate copies every frame unchanged and at
// once).
#pragma once

#include <array>
#include <cstdint>

#include "IAudioCodec.h"
#include "TdeWaveFormat.h"

class TPcmConverter : public IAudioCodec {
public:
    // Both formats must satisfy Supports().
    TPcmConverter(const TdeWaveFormat& in, const TdeWaveFormat& out);
    // True for PCM with 1 or 2 channels, 8 or 16 bits, a rate from 1 to 384000 Hz and the block
    // align and byte rate that follow from them.
    static bool Supports(const TdeWaveFormat& format);

    size_t InputBlockBytes() const override { return inAlign_; }
    size_t MaxOutputBytes(size_t inputBytes) const override;
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    using Frame = std::array<int, 2>;
    Frame Read(const uint8_t* p) const;
    void Write(const Frame& f, uint8_t*& p) const;

    unsigned inChannels_, outChannels_;
    unsigned inBytes_, outBytes_;  // bytes per sample
    size_t inAlign_, outAlign_;
    int64_t inRate_, outRate_;
    // The next output instant after the previous input frame, in 1/outRate_ of an input frame.
    int64_t ahead_;
    Frame prev_{};
    bool havePrev_ = false;
};
