// MPEG audio decoding through libmpg123, fed as the bytes come: 16-bit mono at the stream's
// own rate. Data that is not MPEG audio is skipped (libmpg123 resynchronises on the next
// frame header).
#pragma once

#include "IAudioCodec.h"

struct mpg123_handle_struct;

class TMp3Decoder : public IAudioCodec {
public:
    TMp3Decoder();
    ~TMp3Decoder() override;
    TMp3Decoder(const TMp3Decoder&) = delete;
    TMp3Decoder& operator=(const TMp3Decoder&) = delete;
    size_t InputBlockBytes() const override { return 1; }
    // An estimate: one frame of up to 1152 samples per 48 bytes (the smallest frame), plus one.
    size_t MaxOutputBytes(size_t inputBytes) const override;
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;
    // The sample rate of the stream, 0 before its first frame.
    long Rate() const { return rate_; }

private:
    mpg123_handle_struct* mh_;
    long rate_ = 0;
};
