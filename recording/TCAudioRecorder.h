// The capture component: audio from an input (the sound card or a stand-in) goes block by block
// through the file converter into a RIFF WAVE file, and through the analysis converter to
// whoever listens for 8-bit PCM at 8000 Hz. Everything runs on the main thread.
//
// A write that fails during a recording (disk full, folder gone) or an input that stops by
// itself ends the capture: the file is closed with its lengths filled in (a valid WAV file of
// what was written) and OnFailure reports the reason once the input's callback has returned.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <span>

#include "IAudioRecorder.h"
#include "TdeAudioConvertor.h"
#include "TdeWaveFormat.h"

class IAudioInput;
class TdeFileSink;
class TdeRIFFAudioWriter;

class TCAudioRecorder : public QObject, public IAudioRecorder {
    Q_OBJECT
public:
    explicit TCAudioRecorder(std::unique_ptr<IAudioInput> input, QObject* parent = nullptr);
    ~TCAudioRecorder() override;

    // The capture format. The inputs deliver only this one; Start refuses any other.
    TdeWaveFormat AudioInFormat;
    // The format written to the file (a-Law until a codec is chosen).
    TdeWaveFormat WavFormat;
    QString FileName;
    bool SaveToFile = true;
    // The audio input's buffers: the size is set at each start (1/8 s of the capture format);
    // the initial value is never used for capture.
    int BufferSize = 22051;
    int BufferCount = 4;
    // The analysis converter's output (8000 Hz, 8-bit, mono PCM).
    std::function<void(TdeAudioConvertor& sender, std::span<const uint8_t> data)> On8BitPCMConveted;

    bool SetCodec(int item) override;
    void SetFileName(const QString& fileName) override { FileName = fileName; }
    void SetSaveToFile(bool on) override { SaveToFile = on; }
    void Start() override;
    void Stop() override;
    bool Running() const override { return running_; }

    IAudioInput& Input() { return *input_; }
    // Audio bytes in the file so far (whole blocks).
    uint64_t DataLength() const;

private:
    void OpenInput();
    void InputData(const QByteArray& buffer);
    // Stops the capture after the current callback and reports `reason`.
    void FailLater(const QString& reason);

    std::unique_ptr<IAudioInput> input_;
    TdeAudioConvertor fileConv_;
    TdeAudioConvertor anaConv_;
    std::unique_ptr<TdeFileSink> file_;
    std::unique_ptr<TdeRIFFAudioWriter> writer_;
    bool running_ = false;
    bool failing_ = false;
    quint64 generation_ = 0;  // counts starts, so that a late failure never stops a later call
};
