// The mixer on PulseAudio (or PipeWire's PulseAudio service), through pactl: the recording line
// is the default source, its ports are the inputs, the active port is the input chosen, and the
// source volume is the volume.
#pragma once

#include <QString>
#include <QStringList>

#include "IMixer.h"

class TPulseMixer : public IMixer {
public:
    bool SelectMicrophone() override;
    bool RestoreRecordingInput() override;

    struct SourceState {
        QString Name;
        QString ActivePort;
        QStringList Ports;
        QString Volume;  // as pactl prints it, e.g. "65536"
    };
    // Reads `pactl list sources` output for one source (exposed for tests).
    static bool ParseSource(const QString& listing, const QString& name, SourceState& out);
    // The port that is the microphone: the last whose name says "mic"; empty when none.
    static QString MicrophonePort(const SourceState& state);

private:
    static bool Run(const QStringList& args, QString* output = nullptr);
    SourceState saved_;
    bool haveSaved_ = false;
};
