// GSM 06.10 decoding through libgsm in the WAV49 framing: every 65-byte block gives 320
// samples. A frame libgsm refuses decodes as silence.
#pragma once

#include "IAudioCodec.h"

struct gsm_state;

class TGsmDecoder : public IAudioCodec {
public:
    static constexpr size_t kSamplesPerBlock = 320;
    static constexpr size_t kBlockBytes = 65;
    TGsmDecoder();
    ~TGsmDecoder() override;
    TGsmDecoder(const TGsmDecoder&) = delete;
    TGsmDecoder& operator=(const TGsmDecoder&) = delete;
    size_t InputBlockBytes() const override { return kBlockBytes; }
    size_t MaxOutputBytes(size_t inputBytes) const override {
        return inputBytes / kBlockBytes * kSamplesPerBlock * 2;
    }
    size_t Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) override;

private:
    gsm_state* gsm_;
};
