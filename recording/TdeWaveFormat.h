// A wave format: the 512-byte buffer that holds a WAVEFORMATEX (little endian): format tag,
// channels, samples per second, average bytes per second, block align, bits per sample, extra
// size (at most 494), then the extra bytes; the rest of the buffer is zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace WaveTag {
inline constexpr uint16_t kPcm = 1;
inline constexpr uint16_t kALaw = 6;
inline constexpr uint16_t kMuLaw = 7;
inline constexpr uint16_t kImaAdpcm = 17;
inline constexpr uint16_t kGsm610 = 49;
inline constexpr uint16_t kMpegLayer3 = 85;
}  // namespace WaveTag

class TdeWaveFormat {
public:
    static constexpr size_t kBufferSize = 512;
    static constexpr size_t kHeaderSize = 18;  // the fields up to and including the extra size
    static constexpr size_t kMaxExtraSize = kBufferSize - kHeaderSize;  // 494

    // A fresh format: PCM, 2 channels, 11025 Hz, 22050 bytes/s, block align 2, 8 bits.
    TdeWaveFormat();
    // A PCM format with the block align and byte rate that follow from the other three.
    static TdeWaveFormat Pcm(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);
    // The format read from the first bytes of a WAVEFORMAT(EX) (a "fmt " chunk's body). Fewer
    // than 18 bytes leave the extra size 0. Raises "The wave format buffer is too small." when
    // the extra size is above 494, and EAudioError when `bytes` holds fewer than 16 bytes or
    // fewer extra bytes than the extra size announces.
    static TdeWaveFormat FromBytes(std::span<const uint8_t> bytes);

    uint16_t FormatTag() const { return Word(0); }
    uint16_t Channels() const { return Word(2); }
    uint32_t SamplesPerSec() const { return DWord(4); }
    uint32_t AvgBytesPerSec() const { return DWord(8); }
    uint16_t BlockAlign() const { return Word(12); }
    uint16_t BitsPerSample() const { return Word(14); }
    uint16_t ExtraSize() const { return Word(16); }
    std::span<const uint8_t> Extra() const { return {bytes_.data() + kHeaderSize, ExtraSize()}; }

    void SetFormatTag(uint16_t v) { SetWord(0, v); }
    void SetChannels(uint16_t v) { SetWord(2, v); }
    void SetSamplesPerSec(uint32_t v) { SetDWord(4, v); }
    void SetAvgBytesPerSec(uint32_t v) { SetDWord(8, v); }
    void SetBlockAlign(uint16_t v) { SetWord(12, v); }
    void SetBitsPerSample(uint16_t v) { SetWord(14, v); }
    // Replaces the extra bytes (the buffer behind them is cleared). Raises "The wave format
    // buffer is too small." above 494 bytes; the format is then unchanged.
    void SetExtra(std::span<const uint8_t> extra);
    // A little-endian uint16 of the extra bytes at `offset`; 0 beyond the extra size.
    uint16_t ExtraWord(size_t offset) const;

    // The size of the "fmt " chunk written for this format: 16 for PCM (without the extra-size
    // field), otherwise 18 + extra size.
    uint32_t FmtChunkSize() const;
    bool IsPcm() const { return FormatTag() == WaveTag::kPcm; }

    const std::array<uint8_t, kBufferSize>& Bytes() const { return bytes_; }
    // Equal when all 512 bytes are equal.
    bool operator==(const TdeWaveFormat& other) const { return bytes_ == other.bytes_; }

private:
    uint16_t Word(size_t at) const { return uint16_t(bytes_[at] | bytes_[at + 1] << 8); }
    uint32_t DWord(size_t at) const { return uint32_t(Word(at)) | uint32_t(Word(at + 2)) << 16; }
    void SetWord(size_t at, uint16_t v) {
        bytes_[at] = uint8_t(v);
        bytes_[at + 1] = uint8_t(v >> 8);
    }
    void SetDWord(size_t at, uint32_t v) {
        SetWord(at, uint16_t(v));
        SetWord(at + 2, uint16_t(v >> 16));
    }
    std::array<uint8_t, kBufferSize> bytes_{};
};
