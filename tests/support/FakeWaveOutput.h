// A wave output that plays nothing: it keeps the buffers written, in order, and reports one as
// played when the test says so, as a device would from the event loop.
#pragma once

#include <deque>
#include <functional>

#include "AudioTexts.h"
#include "EAudioError.h"
#include "IWaveOutput.h"

class FakeWaveOutput : public IWaveOutput {
public:
    ~FakeWaveOutput() override {
        if (OnDestroyed) OnDestroyed();
    }
    void Open(const TdeWaveFormat& format) override {
        if (RefuseOpen) throw EAudioError(AudioTexts::kOpenOutput);
        open_ = true;
        paused_ = false;
        Format = format;
        ++Opens;
    }
    void Write(const QByteArray& pcm) override {
        if (!open_) throw EAudioError(AudioTexts::kPlayBuffer);
        Queue.push_back(pcm);
    }
    void EndOfStream() override { ++Ends; }
    void Pause() override { paused_ = true; }
    void Restart() override { paused_ = false; }
    void Close() override {
        open_ = false;
        Queue.clear();
    }
    bool IsOpen() const override { return open_; }
    bool HasVolumeControl() const override { return VolumeControl; }
    void SetVolume(double volume) override { Volume = volume; }
    bool Paused() const { return paused_; }

    // Reports the oldest buffer played; false when none is queued (or the output is paused).
    bool PlayOne() {
        if (Queue.empty() || paused_) return false;
        Played += Queue.front();
        Queue.pop_front();
        if (OnBufferDone) OnBufferDone();
        return true;
    }
    // Plays until nothing is queued; the number of buffers played.
    int PlayAll() {
        int n = 0;
        while (PlayOne()) ++n;
        return n;
    }
    // The device goes away.
    void Vanish(const QString& reason) {
        open_ = false;
        Queue.clear();
        if (OnFailure) OnFailure(reason);
    }

    std::deque<QByteArray> Queue;
    QByteArray Played;
    TdeWaveFormat Format;
    int Opens = 0;
    int Ends = 0;  // streams said to have ended
    bool RefuseOpen = false;
    std::function<void()> OnDestroyed;  // for a test that plays the outputs its code makes
    bool VolumeControl = true;
    double Volume = -1;

private:
    bool open_ = false;
    bool paused_ = false;
};
