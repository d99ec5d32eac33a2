#include "TQtWaveOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

#include "AudioTexts.h"
#include "EAudioError.h"

// The queue as the device reads it.
class TQtWaveOutput::Feed : public QIODevice {
public:
    explicit Feed(TQtWaveOutput& owner) : QIODevice(&owner), owner_(owner) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override { return owner_.Take(data, max); }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    TQtWaveOutput& owner_;
};

namespace {

std::string WithReason(const char* step, const QString& reason) {
    return std::string(step) + "\n" + reason.toStdString();
}

}  // namespace

TQtWaveOutput::TQtWaveOutput(QObject* parent) : QObject(parent) {
    pump_.setInterval(10);
    connect(&pump_, &QTimer::timeout, this, &TQtWaveOutput::Pump);
}

TQtWaveOutput::~TQtWaveOutput() {
    if (sink_) {
        disconnect(sink_, nullptr, this, nullptr);
        sink_->stop();
        delete sink_;
    }
}

void TQtWaveOutput::Open(const TdeWaveFormat& format) {
    Close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        throw EAudioError(AudioTexts::ResultCodeMessage(AudioTexts::kOpenOutput, 2));
    QAudioFormat f;
    f.setSampleRate(static_cast<int>(format.SamplesPerSec()));
    f.setChannelCount(format.Channels());
    switch (format.BitsPerSample()) {
        case 8: f.setSampleFormat(QAudioFormat::UInt8); break;
        case 16: f.setSampleFormat(QAudioFormat::Int16); break;
        case 32: f.setSampleFormat(QAudioFormat::Int32); break;
        default: break;
    }
    if (!format.IsPcm() || !f.isValid())
        throw EAudioError(AudioTexts::ResultCodeMessage(AudioTexts::kOpenOutput, 32));
    sink_ = new QAudioSink(device, f, this);
    sink_->setVolume(volume_);
    // A second of room at the device: a new stream starts playing without waiting for more.
    sink_->setBufferSize(f.bytesForDuration(1000000));
    feed_ = new Feed(*this);
    sink_->start(feed_);
    if (sink_->error() != QAudio::NoError) {
        delete sink_;
        sink_ = nullptr;
        delete feed_;
        feed_ = nullptr;
        throw EAudioError(AudioTexts::ResultCodeMessage(AudioTexts::kOpenOutput, 4));
    }
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError &&
            sink_->error() != QAudio::UnderrunError)
            Fail(QString::fromStdString(
                WithReason(AudioTexts::kPlayBuffer, "The output device stopped.")));
    });
    paused_ = false;
    bytesPerSecond_ = f.bytesForDuration(1000000);
    written_ = 0;
    queuedEnd_ = 0;
    pump_.start();
}

void TQtWaveOutput::Write(const QByteArray& pcm) {
    if (!sink_) throw EAudioError(AudioTexts::kPlayBuffer);
    queuedEnd_ += pcm.size();
    pending_.push_back({pcm, 0, queuedEnd_, true});
    emit feed_->readyRead();  // a device that ran dry reads again
    Pump();
}

void TQtWaveOutput::EndOfStream() {
    if (!sink_) return;
    const QByteArray silence(std::max<qsizetype>(sink_->bufferSize(), bytesPerSecond_ / 5), '\0');
    queuedEnd_ += silence.size();
    pending_.push_back({silence, 0, queuedEnd_, false});
    emit feed_->readyRead();
    Pump();
}

void TQtWaveOutput::Pause() {
    if (!sink_) return;
    sink_->suspend();
    if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError)
        throw EAudioError(AudioTexts::kPauseOutput);
    paused_ = true;
}

void TQtWaveOutput::Restart() {
    if (!sink_) return;
    sink_->resume();
    if (sink_->error() != QAudio::NoError && sink_->error() != QAudio::UnderrunError)
        throw EAudioError(AudioTexts::kRestartOutput);
    paused_ = false;
}

void TQtWaveOutput::Close() {
    pump_.stop();
    pending_.clear();
    if (!sink_) return;
    disconnect(sink_, nullptr, this, nullptr);
    // what the device holds is dropped, not played
    sink_->stop();
    sink_->deleteLater();
    sink_ = nullptr;
    feed_->deleteLater();
    feed_ = nullptr;
}

bool TQtWaveOutput::HasVolumeControl() const {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void TQtWaveOutput::SetVolume(double volume) {
    volume_ = std::clamp(volume, 0.0, 1.0);
    if (sink_) sink_->setVolume(volume_);
}

qint64 TQtWaveOutput::Take(char* data, qint64 max) {
    qint64 given = 0;
    for (Pending& p : pending_) {
        if (given >= max || paused_) break;
        const qint64 n = std::min<qint64>(max - given, p.Data.size() - p.Written);
        if (n <= 0) continue;
        std::memcpy(data + given, p.Data.constData() + p.Written, static_cast<size_t>(n));
        p.Written += n;
        given += n;
    }
    written_ += given;
    return given;
}

void TQtWaveOutput::Pump() {
    if (!sink_ || paused_) return;
    // What has been heard: by the device's playback clock, and all it was given once it has run
    // dry (the clock is not kept up to date while the device waits for data).
    const bool dry = sink_->state() == QAudio::IdleState;
    const qint64 played =
        dry ? written_
            : std::clamp<qint64>(sink_->processedUSecs() * bytesPerSecond_ / 1000000, 0, written_);
    while (!pending_.empty() && pending_.front().Written == pending_.front().Data.size() &&
           pending_.front().End <= played) {
        const bool reported = pending_.front().Reported;
        pending_.pop_front();
        if (!reported) continue;
        if (OnBufferDone) OnBufferDone();
        if (!sink_) return;  // closed by the report's handler
    }
}

void TQtWaveOutput::Fail(const QString& reason) {
    Close();
    if (OnFailure) OnFailure(reason);
}
