#include "TPacedAudioInput.h"

#include <QTimer>
#include <stdexcept>

#include "AudioTexts.h"

TPacedAudioInput::TPacedAudioInput(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    timer_->setInterval(25);
    connect(timer_, &QTimer::timeout, this, &TPacedAudioInput::Pump);
}

void TPacedAudioInput::Open(int bufferSize, int bufferCount) {
    Close();
    if (bufferSize < kFrameBytes || bufferCount < 2)
        throw std::runtime_error(AudioTexts::kInvalidBufferSize);
    Prepare();
    bufferSize_ = bufferSize - bufferSize % kFrameBytes;
    framesSent_ = 0;
    open_ = true;
    clock_.start();
    timer_->start();
}

void TPacedAudioInput::Close() {
    open_ = false;
    timer_->stop();
}

void TPacedAudioInput::Pump() {
    if (!open_) return;
    const int framesPerBuffer = bufferSize_ / kFrameBytes;
    const qint64 due = clock_.elapsed() * kRate / 1000;
    while (open_ && framesSent_ + framesPerBuffer <= due) {
        QByteArray buffer(bufferSize_, Qt::Uninitialized);
        Fill(reinterpret_cast<uint8_t*>(buffer.data()), framesPerBuffer, framesSent_);
        framesSent_ += framesPerBuffer;
        if (OnData) OnData(buffer);  // may close the input
    }
}
