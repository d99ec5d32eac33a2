// An audio input of the program's own, for machines without a microphone: it produces the
// capture format (PCM, 8-bit unsigned, stereo, 11025 Hz) at the pace of real time, in buffers
// of the size asked for, on the main thread. Subclasses say what the frames hold.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>

#include "IAudioInput.h"

class QTimer;

class TPacedAudioInput : public QObject, public IAudioInput {
    Q_OBJECT
public:
    static constexpr int kRate = 11025;
    static constexpr int kFrameBytes = 2;  // one byte per channel

    explicit TPacedAudioInput(QObject* parent = nullptr);
    void Open(int bufferSize, int bufferCount) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    // Delivers the buffers that are due by now (the timer calls it every 25 ms).
    void Pump();
    // Frames delivered since Open.
    qint64 FramesSent() const { return framesSent_; }

protected:
    // Called by Open before anything is delivered; throws std::runtime_error (with the message
    // to show) to refuse.
    virtual void Prepare() {}
    // Fills `frames` stereo frames, the first being frame `first` of the stream.
    virtual void Fill(uint8_t* out, int frames, qint64 first) = 0;

private:
    bool open_ = false;
    int bufferSize_ = 0;
    qint64 framesSent_ = 0;
    QElapsedTimer clock_;
    QTimer* timer_;
};
