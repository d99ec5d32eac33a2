#include "TGsmDecoder.h"

#include <gsm/gsm.h>

#include <algorithm>
#include <new>

TGsmDecoder::TGsmDecoder() : gsm_(gsm_create()) {
    if (!gsm_) throw std::bad_alloc();
    int wav49 = 1;
    gsm_option(gsm_, GSM_OPT_WAV49, &wav49);
}

TGsmDecoder::~TGsmDecoder() {
    gsm_destroy(gsm_);
}

size_t TGsmDecoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const size_t blocks = in.size() / kBlockBytes;
    size_t at = out.size();
    out.resize(at + blocks * kSamplesPerBlock * 2);
    gsm_signal frame[kSamplesPerBlock];
    gsm_byte block[kBlockBytes + 1] = {};  // one spare byte: libgsm never reads past 65
    for (size_t b = 0; b < blocks; ++b) {
        std::copy_n(in.data() + b * kBlockBytes, kBlockBytes, block);
        // In WAV49 mode the first call of a pair reads 33 bytes, the second 32.
        if (gsm_decode(gsm_, block, frame) < 0) std::fill_n(frame, 160, 0);
        if (gsm_decode(gsm_, block + 33, frame + 160) < 0) std::fill_n(frame + 160, 160, 0);
        uint8_t* dst = out.data() + at;
        for (size_t i = 0; i < kSamplesPerBlock; ++i) {
            dst[2 * i] = uint8_t(frame[i]);
            dst[2 * i + 1] = uint8_t(uint16_t(frame[i]) >> 8);
        }
        at += kSamplesPerBlock * 2;
    }
    return blocks * kBlockBytes;
}
