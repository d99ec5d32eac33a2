// The sound card's default output through Qt Multimedia. The device pulls the queued buffers as
// it needs them (it has room for a second), and a buffer counts as played once the device's
// playback clock has passed its end, or once the device has run dry (a check every 10 ms). The
// end of the stream is followed by silence the length of the device's buffer, which is never
// reported: a device that waits for a full buffer before it starts plays a short last piece too.
// Main thread only: the device pulls from the event loop.
#pragma once

#include <QAudioFormat>
#include <QObject>
#include <QTimer>
#include <deque>

#include "IWaveOutput.h"

class QAudioSink;
class QIODevice;

class TQtWaveOutput : public QObject, public IWaveOutput {
    Q_OBJECT
public:
    explicit TQtWaveOutput(QObject* parent = nullptr);
    ~TQtWaveOutput() override;
    void Open(const TdeWaveFormat& format) override;
    void Write(const QByteArray& pcm) override;
    void EndOfStream() override;
    void Pause() override;
    void Restart() override;
    void Close() override;
    bool IsOpen() const override { return sink_ != nullptr; }
    bool HasVolumeControl() const override;
    void SetVolume(double volume) override;

private:
    class Feed;
    // Hands the device up to `max` bytes of the queue; 0 when it is empty.
    qint64 Take(char* data, qint64 max);
    void Pump();
    void Fail(const QString& reason);

    QAudioSink* sink_ = nullptr;  // a child; handed to the event loop for deletion on close
    Feed* feed_ = nullptr;  // a child, like the sink
    QTimer pump_;
    double volume_ = 1.0;
    bool paused_ = false;
    // Buffers not yet reported, oldest first: the bytes still to write and where each ends in
    // the stream of bytes written since the device opened.
    struct Pending {
        QByteArray Data;
        qsizetype Written = 0;
        qint64 End = 0;
        bool Reported = true;  // false for the silence after the end
    };
    std::deque<Pending> pending_;
    qint64 queuedEnd_ = 0;  // the stream offset at which the last queued buffer ends
    qint64 written_ = 0;    // bytes handed to the device
    qint64 bytesPerSecond_ = 0;
};
