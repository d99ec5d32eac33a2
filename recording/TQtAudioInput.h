// The sound card's default input through Qt Multimedia. When the device refuses the capture
// format it records what it offers and converts to the capture format.
#pragma once

#include <QAudioFormat>
#include <QObject>

#include "IAudioInput.h"

class QAudioSource;
class QIODevice;

class TQtAudioInput : public QObject, public IAudioInput {
    Q_OBJECT
public:
    explicit TQtAudioInput(QObject* parent = nullptr);
    ~TQtAudioInput() override;
    void Open(int bufferSize, int bufferCount) override;
    void Close() override;
    bool IsOpen() const override { return source_ != nullptr; }
    // The format asked of the device (the capture format, or what it offered instead).
    const QAudioFormat& DeviceFormat() const { return format_; }

    // Converts interleaved samples of `from` into 8-bit unsigned stereo at 11025 Hz.
    static QByteArray ToCaptureFormat(const QByteArray& data, const QAudioFormat& from,
                                      double& phase);

private:
    void ReadAvailable();
    // A child of this object; closing hands it to the event loop for deletion, since Close may
    // be called from inside one of its own signals.
    QAudioSource* source_ = nullptr;
    QIODevice* io_ = nullptr;
    QAudioFormat format_;
    bool converting_ = false;
    double phase_ = 0;
    int bufferSize_ = 0;
    QByteArray pending_;
};
