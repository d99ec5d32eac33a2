#include "TGsmEncoder.h"

#include <gsm/gsm.h>

#include <new>

TGsmEncoder::TGsmEncoder() : gsm_(gsm_create()) {
    if (!gsm_) throw std::bad_alloc();
    int wav49 = 1;
    gsm_option(gsm_, GSM_OPT_WAV49, &wav49);
}

TGsmEncoder::~TGsmEncoder() {
    gsm_destroy(gsm_);
}

size_t TGsmEncoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t blocks = in.size() / InputBlockBytes();
    size_t at = out.size();
    out.resize(at + blocks * kBlockBytes);
    gsm_signal frame[kSamplesPerBlock];
    for (size_t b = 0; b < blocks; ++b) {
        const uint8_t* src = in.data() + b * InputBlockBytes();
        for (size_t i = 0; i < kSamplesPerBlock; ++i)
            frame[i] = gsm_signal(src[2 * i] | src[2 * i + 1] << 8);
        // In WAV49 mode the first call of a pair writes 32 bytes, the second 33.
        gsm_encode(gsm_, frame, out.data() + at);
        gsm_encode(gsm_, frame + 160, out.data() + at + 32);
        at += kBlockBytes;
    }
    return blocks * InputBlockBytes();
}
