// The capture component as the recording path drives it: a target format, a file, start and
// stop.
#pragma once

#include <QString>
#include <functional>

class IAudioRecorder {
public:
    virtual ~IAudioRecorder() = default;
    // Selects the format written to the file: the codec of a compression item (0 a-Law,
    // 1 u-Law, 2 IMA ADPCM, 3 GSM, 4 MP3). False when the item has no format.
    virtual bool SetCodec(int item) = 0;
    virtual void SetFileName(const QString& fileName) = 0;
    virtual void SetSaveToFile(bool on) = 0;
    // Starts the capture; throws std::runtime_error with the message to show on failure (the
    // capture resources are then released).
    virtual void Start() = 0;
    // Ends the capture and closes the file (complete and valid).
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    // Called when the capture stops by itself (disk full, device lost) with the reason.
    std::function<void(const QString& reason)> OnFailure;
};
