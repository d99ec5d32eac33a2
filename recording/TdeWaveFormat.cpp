#include "TdeWaveFormat.h"

#include <algorithm>
#include <string>

#include "AudioTexts.h"
#include "EAudioError.h"

TdeWaveFormat::TdeWaveFormat() {
    SetFormatTag(WaveTag::kPcm);
    SetChannels(2);
    SetSamplesPerSec(11025);
    SetAvgBytesPerSec(22050);
    SetBlockAlign(2);
    SetBitsPerSample(8);
}

TdeWaveFormat TdeWaveFormat::Pcm(uint16_t channels, uint32_t samplesPerSec,
                                 uint16_t bitsPerSample) {
    TdeWaveFormat f;
    const uint16_t align = uint16_t(channels * ((bitsPerSample + 7) / 8));
    f.SetChannels(channels);
    f.SetSamplesPerSec(samplesPerSec);
    f.SetBitsPerSample(bitsPerSample);
    f.SetBlockAlign(align);
    f.SetAvgBytesPerSec(samplesPerSec * align);
    return f;
}

TdeWaveFormat TdeWaveFormat::FromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < 16)
        throw EAudioError(std::string(AudioTexts::kDamagedWaveFile) + "format chunk too short");
    TdeWaveFormat f;
    std::copy_n(bytes.begin(), 16, f.bytes_.begin());
    if (bytes.size() >= kHeaderSize) {
        const size_t extra = size_t(bytes[16] | bytes[17] << 8);
        if (extra > kMaxExtraSize) throw EAudioError(AudioTexts::kFormatBufferTooSmall);
        if (bytes.size() - kHeaderSize < extra)
            throw EAudioError(std::string(AudioTexts::kDamagedWaveFile) +
                              "format extra bytes cut short");
        f.SetExtra(bytes.subspan(kHeaderSize, extra));
    }
    return f;
}

void TdeWaveFormat::SetExtra(std::span<const uint8_t> extra) {
    if (extra.size() > kMaxExtraSize) throw EAudioError(AudioTexts::kFormatBufferTooSmall);
    std::fill(bytes_.begin() + kHeaderSize, bytes_.end(), 0);
    std::copy(extra.begin(), extra.end(), bytes_.begin() + kHeaderSize);
    SetWord(16, uint16_t(extra.size()));
}

uint16_t TdeWaveFormat::ExtraWord(size_t offset) const {
    if (offset + 2 > ExtraSize()) return 0;
    return Word(kHeaderSize + offset);
}

uint32_t TdeWaveFormat::FmtChunkSize() const {
    return IsPcm() ? 16u : uint32_t(kHeaderSize + ExtraSize());
}
