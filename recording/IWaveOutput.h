// The sound card's output as the player uses it: PCM buffers played in the order they are
// written, each reported back once it has been played. Main thread only: the reports and a
// failure arrive through the event loop, never from inside a call to the output.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "TdeWaveFormat.h"

class IWaveOutput {
public:
    virtual ~IWaveOutput() = default;
    // Opens the default output device for a PCM `format`. Throws EAudioError with
    // "Error opening audio device for output." and the reason.
    virtual void Open(const TdeWaveFormat& format) = 0;
    // Queues one buffer behind those written before.
    virtual void Write(const QByteArray& pcm) = 0;
    // No more buffers follow: what was written is to be played out to its end, even when it
    // is less than the device waits for before it starts.
    virtual void EndOfStream() = 0;
    // Both throw EAudioError with the pause or restart error when the device refuses.
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Stops at once: buffers not yet played are dropped and not reported. Safe when closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Whether an output device exists whose volume can be set.
    virtual bool HasVolumeControl() const = 0;
    // The output volume from 0 (silent) to 1, the same on both channels; kept across opens.
    virtual void SetVolume(double volume) = 0;

    // A buffer has been played (one report per buffer, in the order they were written).
    std::function<void()> OnBufferDone;
    // The device failed or went away while open; it is closed by then.
    std::function<void(const QString& reason)> OnFailure;
};
