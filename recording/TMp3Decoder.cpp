#include "TMp3Decoder.h"

#include <mpg123.h>

#include <mutex>
#include <string>

#include "EAudioError.h"

namespace {
void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}
}  // namespace

TMp3Decoder::TMp3Decoder() {
    InitLibrary();
    int err = MPG123_OK;
    mh_ = mpg123_new(nullptr, &err);
    if (!mh_) throw EAudioError("The MP3 decoder could not be created.");
    mpg123_param(mh_, MPG123_FLAGS, MPG123_QUIET | MPG123_MONO_MIX, 0.0);
    // Only 16-bit mono output, at whatever rate the stream has.
    mpg123_format_none(mh_);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mh_, rates[i], MPG123_MONO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mh_) != MPG123_OK) {
        mpg123_delete(mh_);
        throw EAudioError("The MP3 decoder could not be opened.");
    }
}

TMp3Decoder::~TMp3Decoder() {
    mpg123_close(mh_);
    mpg123_delete(mh_);
}

size_t TMp3Decoder::MaxOutputBytes(size_t inputBytes) const {
    return inputBytes == 0 ? 0 : (inputBytes / 48 + 1) * 1152 * 2;
}

size_t TMp3Decoder::Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
    const unsigned char* feed = in.data();
    size_t feedSize = in.size();
    for (;;) {
        constexpr size_t kRoom = 1152 * 2 * 4;
        const size_t at = out.size();
        out.resize(at + kRoom);
        size_t done = 0;
        const int rc = mpg123_decode(mh_, feed, feedSize, out.data() + at, kRoom, &done);
        out.resize(at + done);
        feed = nullptr;
        feedSize = 0;
        if (rc == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(mh_, &rate, &channels, &encoding);
            rate_ = rate;
            continue;
        }
        if (rc == MPG123_OK) {
            if (done == 0) break;  // nothing more now; the rest comes with the next bytes
            continue;
        }
        if (rc == MPG123_NEED_MORE || rc == MPG123_DONE) break;
        throw EAudioError(std::string("The MP3 decoder failed: ") + mpg123_plain_strerror(rc));
    }
    return in.size();
}
