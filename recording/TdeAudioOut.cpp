#include "TdeAudioOut.h"

TdeAudioOut::TdeAudioOut(IWaveOutput& device) : device_(device) {}

TdeAudioOut::~TdeAudioOut() {
    device_.OnBufferDone = nullptr;
    device_.OnFailure = nullptr;
}

void TdeAudioOut::Open(const TdeWaveFormat& format) {
    Close();
    device_.OnBufferDone = [this] {
        if (outstanding_ > 0) --outstanding_;
        if (OnDone) OnDone();
    };
    device_.OnFailure = [this](const QString& reason) {
        active_ = false;
        held_.clear();
        outstanding_ = 0;
        if (OnFailure) OnFailure(reason);
    };
    device_.Open(format);
    active_ = true;
    started_ = false;
}

void TdeAudioOut::Close() {
    device_.Close();
    active_ = false;
    started_ = false;
    held_.clear();
    outstanding_ = 0;
    last_.clear();
}

void TdeAudioOut::Pause() {
    if (active_) device_.Pause();
}

void TdeAudioOut::Restart() {
    if (active_) device_.Restart();
}

void TdeAudioOut::Write(std::span<const uint8_t> pcm) {
    if (pcm.empty() || !active_) return;
    QByteArray block(reinterpret_cast<const char*>(pcm.data()), static_cast<qsizetype>(pcm.size()));
    if (!started_ && static_cast<int>(held_.size()) < BufferCount) {
        held_.push_back(std::move(block));
        return;
    }
    Flush();
    Send(block);
}

void TdeAudioOut::Finish() {
    if (!active_) return;
    Flush();
    device_.EndOfStream();
}

void TdeAudioOut::Flush() {
    started_ = true;
    std::vector<QByteArray> held;
    held.swap(held_);
    for (const QByteArray& b : held) Send(b);
}

void TdeAudioOut::Send(const QByteArray& block) {
    ++outstanding_;
    last_ = block;
    device_.Write(block);
}
