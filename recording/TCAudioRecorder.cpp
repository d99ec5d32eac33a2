#include "TCAudioRecorder.h"

#include <QFile>
#include <QTimer>

#include "AudioTexts.h"
#include "CodecTable.h"
#include "EAudioError.h"
#include "IAudioInput.h"
#include "RecordingTexts.h"
#include "TEventLog.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioWriter.h"

TCAudioRecorder::TCAudioRecorder(std::unique_ptr<IAudioInput> input, QObject* parent)
    : QObject(parent),
      AudioInFormat(CodecTable::CaptureFormat()),
      WavFormat(*CodecTable::Format(0)),
      input_(std::move(input)) {
    fileConv_.Subscribe([this](TdeAudioConvertor&, std::span<const uint8_t> data) {
        if (writer_) writer_->Write(data);
    });
    anaConv_.Subscribe([this](TdeAudioConvertor& sender, std::span<const uint8_t> data) {
        if (On8BitPCMConveted) On8BitPCMConveted(sender, data);
    });
    input_->OnData = [this](const QByteArray& buffer) { InputData(buffer); };
    input_->OnFailure = [this](const QString& reason) { FailLater(reason); };
}

TCAudioRecorder::~TCAudioRecorder() {
    Stop();
    input_->OnData = nullptr;
    input_->OnFailure = nullptr;
}

bool TCAudioRecorder::SetCodec(int item) {
    std::optional<TdeWaveFormat> format = CodecTable::Format(item);
    if (!format) return false;
    WavFormat = *format;
    return true;
}

uint64_t TCAudioRecorder::DataLength() const {
    return writer_ ? writer_->DataLength() : 0;
}

void TCAudioRecorder::Start() {
    Stop();
    ++generation_;
    failing_ = false;
    try {
        BufferSize = static_cast<int>(AudioInFormat.AvgBytesPerSec() / 8 + 4);
        if (SaveToFile) {
            file_ = std::make_unique<TdeFileSink>(QFile::encodeName(FileName).toStdString());
            writer_ = std::make_unique<TdeRIFFAudioWriter>(*file_, WavFormat);
            fileConv_.SetInputFormat(AudioInFormat);
            fileConv_.SetOutputFormat(WavFormat);
            fileConv_.Open();
        }
        anaConv_.SetInputFormat(AudioInFormat);
        anaConv_.SetOutputFormat(CodecTable::AnalysisFormat());
        anaConv_.Open();
        OpenInput();
        running_ = true;
    } catch (...) {
        Stop();
        throw;
    }
}

void TCAudioRecorder::OpenInput() {
    // The inputs (the sound card through its mapping, the stand-ins) deliver the capture
    // format only.
    if (!(AudioInFormat == CodecTable::CaptureFormat()))
        throw EAudioError(AudioTexts::ResultCodeMessage(AudioTexts::kOpenInput, 32), 32);
    const int bits = AudioInFormat.BitsPerSample();
    const int frame = bits / 8 * AudioInFormat.Channels();
    if (frame > 0 && BufferSize % frame != 0) BufferSize -= BufferSize % frame;
    if (BufferSize <= 0 || bits <= 0 || (BufferSize * 8) % bits != 0 || BufferCount < 2)
        throw EAudioError(AudioTexts::kInvalidBufferSize);
    input_->Open(BufferSize, BufferCount);
}

void TCAudioRecorder::InputData(const QByteArray& buffer) {
    if (!running_ || failing_) return;
    const std::span<const uint8_t> block(reinterpret_cast<const uint8_t*>(buffer.constData()),
                                         static_cast<size_t>(buffer.size()));
    try {
        if (SaveToFile && fileConv_.Active()) fileConv_.Convert(block);
        if (anaConv_.Active()) anaConv_.Convert(block);
    } catch (const std::exception& e) {
        FailLater(QString::fromUtf8(e.what()));
    }
}

void TCAudioRecorder::FailLater(const QString& reason) {
    if (!running_ || failing_) return;
    failing_ = true;
    // The input is inside its callback now: it is closed (and the user told) from the event
    // loop, so that it never deletes what is delivering to it.
    const quint64 generation = generation_;
    QTimer::singleShot(0, this, [this, generation, reason] {
        if (generation_ != generation || !running_) return;
        Stop();
        if (OnFailure)
            OnFailure(reason);
        else
            LogGeneral(RecordingTexts::kCaptureStopped + reason);
    });
}

void TCAudioRecorder::Stop() {
    input_->Close();
    anaConv_.Close();
    fileConv_.Close();
    QString error;
    if (writer_) {
        try {
            writer_->Close();  // fills in the lengths when anything was written
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        writer_.reset();
    }
    if (file_) {
        if (!file_->Close() && error.isEmpty())
            error = RecordingTexts::kCloseRecording + QString::fromStdString(file_->Error());
        file_.reset();
    }
    running_ = false;
    // Stop cannot refuse: a file that could not be completed is at least in the log.
    if (!error.isEmpty()) LogGeneral(RecordingTexts::kCaptureStopped + error);
}
