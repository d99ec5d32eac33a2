// GSM 06.10 encoding through libgsm in the WAV49 framing: every 320 samples become one 65-byte
// block (two 160-sample frames packed into 32 and 33 bytes).
#pragma once

#include "IAudioCodec.h"

struct gsm_state;

class TGsmEncoder : public IAudioCodec {
public:
    static constexpr size_t kSamplesPerBlock = 320;
    static constexpr size_t kBlockBytes = 65;
    TGsmEncoder();
    ~TGsmEncoder() override;
    TGsmEncoder(const TGsmEncoder&) = delete;
    TGsmEncoder& operator=(const TGsmEncoder&) = delete;
    size_t InputBlockBytes() const override { return kSamplesPerBlock * 2; }
    size_t MaxOutputBytes(size_t inputBytes) const override {
        return inputBytes / InputBlockBytes() * kBlockBytes;
    }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    gsm_state* gsm_;
};
