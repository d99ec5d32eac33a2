// A stand-in for a microphone: a sine tone of a given frequency and level (1.0 = full scale)
// on both channels.
#pragma once

#include "TPacedAudioInput.h"

class TToneAudioInput : public TPacedAudioInput {
    Q_OBJECT
public:
    explicit TToneAudioInput(double frequency = 440.0, double level = 0.5,
                             QObject* parent = nullptr);
    double Frequency() const { return frequency_; }

protected:
    void Fill(uint8_t* out, int frames, qint64 first) override;

private:
    double frequency_, level_;
};
