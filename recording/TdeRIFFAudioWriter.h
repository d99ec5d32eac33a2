// Writes encoded audio into a RIFF WAVE file (little endian; n = the format's FmtChunkSize()):
//   0 "RIFF" | 4 file length − 8 | 8 "WAVE" | 12 "fmt " | 16 n | 20 the first n bytes of the
//   format | 20+n "data" | 24+n data length | 28+n the audio blocks exactly as given.
// The header goes out before the first block with both lengths 0; closing fills them in. There
// is no "fact" chunk and no pad byte after odd-sized data. A writer that was given no block
// leaves the file empty.
//
// While the file grows, about every 5 seconds of audio (a checkpoint) both lengths are brought
// up to the audio written so far and the file is flushed to the disk, so that a recording cut
// off by a crash or a power cut is a valid WAV file up to its last few seconds.
//
// A failed write (disk full, the folder gone) raises EAudioError "Error writing the recording
// file: <reason>"; the file is cut back to the end of the last block written whole, every later
// Write() raises the same error without writing, and Close() still fills in the lengths of what
// was written, so the file stays a valid WAV file. A block that would take the file past the
// 4 GB a RIFF length can describe is refused the same way.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "IAudioFileSink.h"
#include "TdeWaveFormat.h"

class TdeRIFFAudioWriter {
public:
    // The sink must outlive the writer (free the writer first, then the file).
    TdeRIFFAudioWriter(IAudioFileSink& sink, const TdeWaveFormat& format);
    // Closes; a failure on the way is not reported (call Close() to see it).
    ~TdeRIFFAudioWriter();
    TdeRIFFAudioWriter(const TdeRIFFAudioWriter&) = delete;
    TdeRIFFAudioWriter& operator=(const TdeRIFFAudioWriter&) = delete;

    // Appends a block (the header first, before the first one). An empty block writes nothing.
    void Write(std::span<const uint8_t> block);
    // Fills in the two lengths when a header was written. Raises EAudioError when they cannot
    // be written; closing twice does nothing.
    void Close();
    // Brings the lengths up to date and flushes the file now (Write does it at every
    // checkpoint). Raises EAudioError as Write does.
    void Checkpoint();
    // The audio bytes between checkpoints: 5 seconds at the format's average rate.
    uint64_t CheckpointBytes() const;
    int Checkpoints() const { return checkpoints_; }

    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    uint64_t DataLength() const { return dataLength_; }
    // The bytes before the audio: 28 + n.
    uint32_t HeaderLength() const { return 28 + format_.FmtChunkSize(); }

    // The header for `format` with the given lengths.
    static std::vector<uint8_t> Header(const TdeWaveFormat& format, uint32_t riffLength,
                                       uint32_t dataLength);

private:
    [[noreturn]] void Fail(const std::string& message);
    bool FillLengths();

    IAudioFileSink& sink_;
    TdeWaveFormat format_;
    bool headerWritten_ = false;
    bool closed_ = false;
    uint64_t dataLength_ = 0;  // audio bytes written whole
    uint64_t nextCheckpoint_ = 0;
    int checkpoints_ = 0;
    std::string error_;
};
