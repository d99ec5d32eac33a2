#include "TAlarmBeep.h"

#include <cmath>
#include <numbers>

#include "EAudioError.h"
#include "IWaveOutput.h"

TAlarmBeep::TAlarmBeep(std::unique_ptr<IWaveOutput> output, int count, QObject* parent)
    : QObject(parent), output_(std::move(output)), count_(count) {
    connect(&tick_, &QTimer::timeout, this, &TAlarmBeep::NextBeep);
    playOutLimit_.setSingleShot(true);
    connect(&playOutLimit_, &QTimer::timeout, this, &TAlarmBeep::Finish);
    if (output_) {
        output_->OnBufferDone = [this] {
            ++played_;
            if (playingOut_ && played_ >= written_) Finish();
        };
        output_->OnFailure = [this](const QString&) {
            if (playingOut_) Finish();
        };
    }
}

TAlarmBeep::~TAlarmBeep() {
    if (running_ && output_) output_->Close();
}

QByteArray TAlarmBeep::BeepAndPause(int halfCycleMs) {
    const int half = kSampleRate * halfCycleMs / 1000;
    QByteArray pcm(half * 2 * 2, '\0');  // the second half stays silent
    auto* samples = reinterpret_cast<int16_t*>(pcm.data());
    for (int i = 0; i < half; ++i)
        samples[i] = static_cast<int16_t>(
            12000 * std::sin(2 * std::numbers::pi * kFrequency * i / kSampleRate));
    return pcm;
}

void TAlarmBeep::Start() {
    if (running_) return;
    running_ = true;
    if (count_ <= 0) {
        Finish();
        return;
    }
    cycle_ = BeepAndPause(HalfCycleMs);
    try {
        if (output_) output_->Open(TdeWaveFormat::Pcm(1, kSampleRate, 16));
    } catch (const EAudioError&) {
        // No sound: the alarm still lasts its seconds.
    }
    tick_.start(2 * HalfCycleMs);
    NextBeep();
}

void TAlarmBeep::NextBeep() {
    if (!running_) return;
    if (started_ >= count_ || terminated_) {
        PlayOut();
        return;
    }
    ++started_;
    if (output_ && output_->IsOpen()) {
        try {
            output_->Write(cycle_);
            ++written_;
        } catch (const EAudioError&) {
            output_->Close();
        }
    }
}

void TAlarmBeep::PlayOut() {
    tick_.stop();
    if (!output_ || !output_->IsOpen() || played_ >= written_) {
        Finish();
        return;
    }
    playingOut_ = true;
    output_->EndOfStream();
    playOutLimit_.start(3000);
}

void TAlarmBeep::Finish() {
    if (!running_) return;
    tick_.stop();
    playOutLimit_.stop();
    playingOut_ = false;
    running_ = false;
    if (output_) output_->Close();
    QMetaObject::invokeMethod(this, &TAlarmBeep::finished, Qt::QueuedConnection);
}
