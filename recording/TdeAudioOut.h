// The player's wave output over a device: it holds back the first BufferCount buffers it is
// given and sends them together with the next one; from then on each buffer goes to the device
// as it comes. It counts the buffers sent and not yet reported back as played. Main thread only
// (the device's reports arrive through the event loop); device errors pass on as EAudioError.
#pragma once

#include <QByteArray>
#include <functional>
#include <span>
#include <vector>

#include "IWaveOutput.h"

class TdeAudioOut {
public:
    explicit TdeAudioOut(IWaveOutput& device);
    ~TdeAudioOut();
    TdeAudioOut(const TdeAudioOut&) = delete;
    TdeAudioOut& operator=(const TdeAudioOut&) = delete;

    int BufferCount = 1;

    void Open(const TdeWaveFormat& format);
    // Drops what is held and what the device still has; nothing is reported.
    void Close();
    bool Active() const { return active_; }
    void Pause();
    void Restart();
    // One buffer of PCM in the output format; an empty one sends nothing.
    void Write(std::span<const uint8_t> pcm);
    // The stream has ended: the buffers held back go now, and the device plays out to the end.
    void Finish();
    int Outstanding() const { return outstanding_; }
    // The most recent buffer sent to the device (what the waveform display shows).
    const QByteArray& LastBlock() const { return last_; }

    // A buffer was reported played; Outstanding() already counts it no more.
    std::function<void()> OnDone;
    // The device failed while open; the output is closed by then.
    std::function<void(const QString& reason)> OnFailure;

private:
    void Flush();
    void Send(const QByteArray& block);

    IWaveOutput& device_;
    bool active_ = false;
    bool started_ = false;  // the held buffers have gone to the device
    std::vector<QByteArray> held_;
    int outstanding_ = 0;
    QByteArray last_;
};
