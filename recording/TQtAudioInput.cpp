#include "TQtAudioInput.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "AudioTexts.h"

TQtAudioInput::TQtAudioInput(QObject* parent) : QObject(parent) {}

TQtAudioInput::~TQtAudioInput() {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
        if (io_) disconnect(io_, nullptr, this, nullptr);
        source_->stop();
        delete source_;
    }
}

void TQtAudioInput::Open(int bufferSize, int bufferCount) {
    Close();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        throw std::runtime_error(AudioTexts::ResultCodeMessage(AudioTexts::kOpenInput, 2));
    QAudioFormat wanted;
    wanted.setSampleRate(11025);
    wanted.setChannelCount(2);
    wanted.setSampleFormat(QAudioFormat::UInt8);
    converting_ = !device.isFormatSupported(wanted);
    format_ = converting_ ? device.preferredFormat() : wanted;
    if (!format_.isValid())
        throw std::runtime_error(AudioTexts::ResultCodeMessage(AudioTexts::kOpenInput, 32));
    bufferSize_ = bufferSize;
    phase_ = 0;
    pending_.clear();
    source_ = new QAudioSource(device, format_, this);
    source_->setBufferSize(format_.bytesForDuration(static_cast<qint64>(bufferSize) * bufferCount *
                                                    1000000LL / 22050));
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError) {
        delete source_;
        source_ = nullptr;
        io_ = nullptr;
        throw std::runtime_error(AudioTexts::ResultCodeMessage(AudioTexts::kOpenInput, 4));
    }
    connect(io_, &QIODevice::readyRead, this, &TQtAudioInput::ReadAvailable);
    connect(source_, &QAudioSource::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && source_ && source_->error() != QAudio::NoError) {
            QString reason =
                QString::fromStdString(AudioTexts::ResultCodeMessage(AudioTexts::kOpenInput, 7));
            Close();
            if (OnFailure) OnFailure(reason);
        }
    });
}

void TQtAudioInput::Close() {
    if (!source_) return;
    if (io_) disconnect(io_, nullptr, this, nullptr);
    disconnect(source_, nullptr, this, nullptr);
    source_->stop();
    source_->deleteLater();
    source_ = nullptr;
    io_ = nullptr;
    pending_.clear();
}

void TQtAudioInput::ReadAvailable() {
    if (!io_) return;
    QByteArray data = io_->readAll();
    if (data.isEmpty()) return;
    pending_ += converting_ ? ToCaptureFormat(data, format_, phase_) : data;
    while (pending_.size() >= bufferSize_ && bufferSize_ > 0) {
        QByteArray buffer = pending_.left(bufferSize_);
        pending_.remove(0, bufferSize_);
        if (OnData) OnData(buffer);
        if (!source_) return;  // closed from inside the handler
    }
}

QByteArray TQtAudioInput::ToCaptureFormat(const QByteArray& data, const QAudioFormat& from,
                                          double& phase) {
    const int channels = std::max(1, from.channelCount());
    const int bytes = std::max(1, from.bytesPerSample());
    const int frameBytes = channels * bytes;
    const qsizetype frames = data.size() / frameBytes;
    auto sampleAt = [&](qsizetype frame, int ch) -> double {
        const char* p = data.constData() + frame * frameBytes + ch * bytes;
        switch (from.sampleFormat()) {
            case QAudioFormat::UInt8:
                return (static_cast<unsigned char>(*p) - 128) / 128.0;
            case QAudioFormat::Int16: {
                int16_t v;
                std::memcpy(&v, p, 2);
                return v / 32768.0;
            }
            case QAudioFormat::Int32: {
                int32_t v;
                std::memcpy(&v, p, 4);
                return v / 2147483648.0;
            }
            case QAudioFormat::Float: {
                float v;
                std::memcpy(&v, p, 4);
                return v;
            }
            default:
                return 0.0;
        }
    };
    QByteArray out;
    const double step = from.sampleRate() / 11025.0;
    for (; phase < frames; phase += step) {
        const qsizetype f = static_cast<qsizetype>(phase);
        for (int ch = 0; ch < 2; ++ch) {
            double v = sampleAt(f, std::min(ch, channels - 1));
            int u = static_cast<int>(std::lround(v * 127.0)) + 128;
            out.append(static_cast<char>(std::clamp(u, 0, 255)));
        }
    }
    phase -= static_cast<double>(frames);
    return out;
}
