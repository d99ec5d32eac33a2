// A source of captured audio in the capture format (PCM, 8-bit unsigned, stereo, 11025 Hz),
// delivered in buffers on the main thread: the sound card's input, or a stand-in.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class IAudioInput {
public:
    virtual ~IAudioInput() = default;
    // Starts delivering buffers of `bufferSize` bytes with `bufferCount` buffers' worth queued
    // at the device. Throws std::runtime_error with the message to show.
    virtual void Open(int bufferSize, int bufferCount) = 0;
    // Stops; audio still queued is not delivered.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    std::function<void(const QByteArray& buffer)> OnData;
    std::function<void(const QString& reason)> OnFailure;
};
