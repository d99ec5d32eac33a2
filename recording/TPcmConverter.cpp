#include "TPcmConverter.h"

#include <algorithm>

TPcmConverter::TPcmConverter(const TdeWaveFormat& in, const TdeWaveFormat& out)
    : inChannels_(in.Channels()),
      outChannels_(out.Channels()),
      inBytes_(in.BitsPerSample() / 8u),
      outBytes_(out.BitsPerSample() / 8u),
      inAlign_(in.BlockAlign()),
      outAlign_(out.BlockAlign()),
      inRate_(in.SamplesPerSec()),
      outRate_(out.SamplesPerSec()),
      ahead_(outRate_) {}

bool TPcmConverter::Supports(const TdeWaveFormat& f) {
    const unsigned ch = f.Channels(), bits = f.BitsPerSample();
    const uint32_t rate = f.SamplesPerSec();
    return f.IsPcm() && (ch == 1 || ch == 2) && (bits == 8 || bits == 16) && rate >= 1 &&
           rate <= 384000 && f.BlockAlign() == ch * bits / 8 &&
           f.AvgBytesPerSec() == rate * f.BlockAlign();
}

size_t TPcmConverter::MaxOutputBytes(size_t inputBytes) const {
    const size_t frames = inputBytes / inAlign_;
    if (frames == 0) return 0;
    return (size_t(int64_t(frames) * outRate_ / inRate_) + 2) * outAlign_;
}

TPcmConverter::Frame TPcmConverter::Read(const uint8_t* p) const {
    Frame f{};
    for (unsigned c = 0; c < inChannels_; ++c) {
        f[c] = inBytes_ == 1 ? (int(p[c]) - 128) * 256 : int(int16_t(p[2 * c] | p[2 * c + 1] << 8));
    }
    if (inChannels_ == 2 && outChannels_ == 1) f[0] = (f[0] + f[1]) >> 1;
    if (inChannels_ == 1) f[1] = f[0];
    return f;
}

void TPcmConverter::Write(const Frame& f, uint8_t*& p) const {
    for (unsigned c = 0; c < outChannels_; ++c) {
        if (outBytes_ == 1) {
            *p++ = uint8_t(std::clamp((f[c] + 128) >> 8, -128, 127) + 128);
        } else {
            const uint16_t s = uint16_t(int16_t(std::clamp(f[c], -32768, 32767)));
            *p++ = uint8_t(s);
            *p++ = uint8_t(s >> 8);
        }
    }
}

size_t TPcmConverter::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t frames = in.size() / inAlign_;
    const size_t at = out.size();
    out.resize(at + MaxOutputBytes(frames * inAlign_));
    uint8_t* dst = out.data() + at;
    for (size_t i = 0; i < frames; ++i) {
        const Frame cur = Read(in.data() + i * inAlign_);
        if (!havePrev_) {
            prev_ = cur;
            havePrev_ = true;
        }
        // Every output instant up to this frame lies between the previous frame and this one.
        while (ahead_ <= outRate_) {
            Frame y{};
            for (unsigned c = 0; c < 2; ++c)
                y[c] = prev_[c] + int((int64_t(cur[c] - prev_[c]) * ahead_) / outRate_);
            Write(y, dst);
            ahead_ += inRate_;
        }
        ahead_ -= outRate_;
        prev_ = cur;
    }
    out.resize(size_t(dst - out.data()));
    return frames * inAlign_;
}
