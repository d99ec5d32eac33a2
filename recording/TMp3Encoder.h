// MPEG Layer III encoding through LAME: mono, constant bit rate, at the format's sample rate and
// the bit rate nearest to its bytes per second (the codec table's 2000 bytes/s: 16 kbit/s at
// 11025 Hz, 576-sample frames of 104 or 105 bytes). The bit reservoir is off, so that every
// frame decodes on its own, and no tag frames are written: the output is the frames as LAME
// produces them, which lag the input by its encoder delay.
#pragma once

#include <cstdint>

#include "IAudioCodec.h"

struct lame_global_struct;

class TMp3Encoder : public IAudioCodec {
public:
    // Raises EAudioError when LAME refuses the rate or bit rate.
    TMp3Encoder(uint32_t samplesPerSec, uint32_t bytesPerSec);
    ~TMp3Encoder() override;
    TMp3Encoder(const TMp3Encoder&) = delete;
    TMp3Encoder& operator=(const TMp3Encoder&) = delete;
    size_t InputBlockBytes() const override { return 2; }
    size_t MaxOutputBytes(size_t inputBytes) const override;
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;
    int BitRateKbps() const;

private:
    lame_global_struct* lame_;
    std::vector<short> samples_;
};
