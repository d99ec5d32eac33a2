#include "TMp3Encoder.h"

#include <lame.h>

#include <algorithm>
#include <string>

#include "EAudioError.h"

TMp3Encoder::TMp3Encoder(uint32_t samplesPerSec, uint32_t bytesPerSec) : lame_(lame_init()) {
    if (!lame_) throw EAudioError("The MP3 encoder could not be created.");
    lame_set_in_samplerate(lame_, int(samplesPerSec));
    lame_set_out_samplerate(lame_, int(samplesPerSec));
    lame_set_num_channels(lame_, 1);
    lame_set_mode(lame_, MONO);
    lame_set_VBR(lame_, vbr_off);
    lame_set_brate(lame_, int((uint64_t(bytesPerSec) * 8 + 500) / 1000));
    lame_set_quality(lame_, 5);
    lame_set_disable_reservoir(lame_, 1);
    lame_set_bWriteVbrTag(lame_, 0);
    lame_set_write_id3tag_automatic(lame_, 0);
    if (lame_init_params(lame_) < 0) {
        lame_close(lame_);
        throw EAudioError("The MP3 encoder does not support " + std::to_string(samplesPerSec) +
                          " Hz at " + std::to_string(bytesPerSec) + " bytes/s.");
    }
}

TMp3Encoder::~TMp3Encoder() {
    lame_close(lame_);
}

int TMp3Encoder::BitRateKbps() const {
    return lame_get_brate(lame_);
}

size_t TMp3Encoder::MaxOutputBytes(size_t inputBytes) const {
    // LAME's own bound for one call: 1.25 × samples + 7200 bytes.
    const size_t n = inputBytes / 2;
    return n == 0 ? 0 : n + n / 4 + 7200;
}

size_t TMp3Encoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    constexpr size_t kChunk = 1 << 16;  // keeps every count well inside int
    const size_t total = in.size() / 2;
    for (size_t done = 0; done < total;) {
        const size_t n = std::min(kChunk, total - done);
        samples_.resize(n);
        const uint8_t* src = in.data() + done * 2;
        for (size_t i = 0; i < n; ++i) samples_[i] = short(src[2 * i] | src[2 * i + 1] << 8);
        const size_t room = MaxOutputBytes(n * 2);
        const size_t at = out.size();
        out.resize(at + room);
        const int produced = lame_encode_buffer(lame_, samples_.data(), samples_.data(), int(n),
                                                out.data() + at, int(room));
        if (produced < 0) {
            out.resize(at);
            throw EAudioError("The MP3 encoder failed (code " + std::to_string(produced) + ").");
        }
        out.resize(at + size_t(produced));
        done += n;
    }
    return total * 2;
}
