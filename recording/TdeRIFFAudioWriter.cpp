#include "TdeRIFFAudioWriter.h"

#include <cstring>

#include "AudioTexts.h"
#include "EAudioError.h"

namespace {
void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
}  // namespace

TdeRIFFAudioWriter::TdeRIFFAudioWriter(IAudioFileSink& sink, const TdeWaveFormat& format)
    : sink_(sink), format_(format), nextCheckpoint_(CheckpointBytes()) {}

uint64_t TdeRIFFAudioWriter::CheckpointBytes() const {
    const uint64_t perSecond = format_.AvgBytesPerSec();
    return 5 * (perSecond > 0 ? perSecond : 8000);
}

TdeRIFFAudioWriter::~TdeRIFFAudioWriter() {
    try {
        Close();
    } catch (const EAudioError&) {
    }
}

std::vector<uint8_t> TdeRIFFAudioWriter::Header(const TdeWaveFormat& format, uint32_t riffLength,
                                                uint32_t dataLength) {
    const uint32_t n = format.FmtChunkSize();
    std::vector<uint8_t> h(28 + n);
    std::memcpy(h.data(), "RIFF", 4);
    Put32(h.data() + 4, riffLength);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    Put32(h.data() + 16, n);
    std::memcpy(h.data() + 20, format.Bytes().data(), n);
    std::memcpy(h.data() + 20 + n, "data", 4);
    Put32(h.data() + 24 + n, dataLength);
    return h;
}

void TdeRIFFAudioWriter::Fail(const std::string& message) {
    error_ = message;
    // Cut off a partly written block (or header), so that the file ends where the lengths say.
    sink_.Truncate(headerWritten_ ? HeaderLength() + dataLength_ : 0);
    throw EAudioError(error_);
}

void TdeRIFFAudioWriter::Write(std::span<const uint8_t> block) {
    if (Failed()) throw EAudioError(error_);
    if (closed_) throw EAudioError(AudioTexts::kWhileNotActive);
    if (block.empty()) return;
    // The RIFF length (file length − 8) must fit into 32 bits.
    if (uint64_t(HeaderLength()) - 8 + dataLength_ + block.size() > 0xFFFFFFFFull)
        Fail(AudioTexts::kFileTooLarge);
    if (!headerWritten_) {
        if (!sink_.WriteAt(0, Header(format_, 0, 0)))
            Fail(std::string(AudioTexts::kWriteFile) + sink_.Error());
        headerWritten_ = true;
    }
    if (!sink_.WriteAt(HeaderLength() + dataLength_, block))
        Fail(std::string(AudioTexts::kWriteFile) + sink_.Error());
    dataLength_ += block.size();
    if (dataLength_ >= nextCheckpoint_) Checkpoint();
}

bool TdeRIFFAudioWriter::FillLengths() {
    uint8_t v[4];
    Put32(v, uint32_t(HeaderLength() - 8 + dataLength_));
    if (!sink_.WriteAt(4, v)) return false;
    Put32(v, uint32_t(dataLength_));
    return sink_.WriteAt(24 + format_.FmtChunkSize(), v);
}

void TdeRIFFAudioWriter::Checkpoint() {
    if (Failed()) throw EAudioError(error_);
    if (closed_ || !headerWritten_) return;
    if (!FillLengths() || !sink_.Flush()) Fail(std::string(AudioTexts::kWriteFile) + sink_.Error());
    nextCheckpoint_ = dataLength_ + CheckpointBytes();
    ++checkpoints_;
}

void TdeRIFFAudioWriter::Close() {
    if (closed_) return;
    closed_ = true;
    if (headerWritten_ && !FillLengths())
        throw EAudioError(std::string(AudioTexts::kWriteFile) + sink_.Error());
}
