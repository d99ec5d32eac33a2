// A stand-in for a microphone: a WAV file played as the input, over and over. The file may be
// in any format the codec layer decodes (PCM of 8 or 16 bits at any rate, mono or stereo, and
// the recording codecs); it is read and converted to the capture format when the input opens,
// so that a missing or damaged file refuses the start of a call with a clear message.
#pragma once

#include <QString>
#include <vector>

#include "TPacedAudioInput.h"

class TWavFileAudioInput : public TPacedAudioInput {
    Q_OBJECT
public:
    // Only the first part of a longer file is played.
    static constexpr uint64_t kMaxAudioBytes = 64ull << 20;

    explicit TWavFileAudioInput(const QString& path, QObject* parent = nullptr);
    const QString& Path() const { return path_; }
    // The file converted to the capture format (filled by Open).
    const std::vector<uint8_t>& Frames() const { return frames_; }

protected:
    void Prepare() override;
    void Fill(uint8_t* out, int frames, qint64 first) override;

private:
    QString path_;
    std::vector<uint8_t> frames_;
};
