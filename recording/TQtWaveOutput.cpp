#include "TQtWaveOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

#include "AudioTexts.h"
#include "EAudioError.h"

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
    // About a fifth of a second at the device: little enough that a seek is heard at once.
    sink_->setBufferSize(f.bytesForDuration(200000));
    io_ = sink_->start();
    if (!io_ || sink_->error() != QAudio::NoError) {
        delete sink_;
        sink_ = nullptr;
        io_ = nullptr;
        throw EAudioError(AudioTexts::ResultCodeMessage(AudioTexts::kOpenOutput, 4));
    }
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError &&
            sink_->error() != QAudio::UnderrunError)
            Fail(QString::fromStdString(
                WithReason(AudioTexts::kPlayBuffer, "The output device stopped.")));
    });
    paused_ = false;
    written_ = 0;
    queuedEnd_ = 0;
    pump_.start();
}

void TQtWaveOutput::Write(const QByteArray& pcm) {
    if (!sink_) throw EAudioError(AudioTexts::kPlayBuffer);
    queuedEnd_ += pcm.size();
    pending_.push_back({pcm, 0, queuedEnd_, true});
    Pump();
}

void TQtWaveOutput::EndOfStream() {
    if (!sink_) return;
    const QByteArray silence(std::max<qsizetype>(sink_->bufferSize(), 1), '\0');
    queuedEnd_ += silence.size();
    pending_.push_back({silence, 0, queuedEnd_, false});
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
    sink_->reset();  // what the device holds is dropped, not played
    sink_->stop();
    sink_->deleteLater();
    sink_ = nullptr;
    io_ = nullptr;
}

bool TQtWaveOutput::HasVolumeControl() const {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void TQtWaveOutput::SetVolume(double volume) {
    volume_ = std::clamp(volume, 0.0, 1.0);
    if (sink_) sink_->setVolume(volume_);
}

void TQtWaveOutput::Pump() {
    if (!sink_ || paused_) return;
    // Into the device as far as it has room.
    qint64 room = sink_->bytesFree();
    for (Pending& p : pending_) {
        if (room <= 0) break;
        const qint64 left = p.Data.size() - p.Written;
        if (left <= 0) continue;
        const qint64 n = io_->write(p.Data.constData() + p.Written, std::min(left, room));
        if (n < 0) {
            Fail(QString::fromStdString(WithReason(AudioTexts::kPlayBuffer, io_->errorString())));
            return;
        }
        p.Written += n;
        written_ += n;
        room -= n;
        if (n < left) break;
    }
    // What the device still holds has not been heard yet; once it runs dry, all has.
    const bool dry = sink_->state() == QAudio::IdleState;
    const qint64 held = dry ? 0 : std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree());
    const qint64 played = written_ - held;
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
