// Which audio input records the calls: the sound card's default input, or a stand-in of the
// program's own for machines without one. Chosen by the command-line switch
//   --audio-input=device | tone[:HZ] | wav:PATH
// or, when there is no switch, by the environment variable PELMORANT_AUDIO_INPUT with the same
// values. The default is the sound card.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class IAudioInput;

class TAudioInputChoice {
public:
    enum class Kind { Device, Tone, WavFile };
    static constexpr const char* kSwitch = "--audio-input=";
    static constexpr const char* kVariable = "PELMORANT_AUDIO_INPUT";

    Kind InputKind = Kind::Device;
    double Frequency = 440.0;  // of the tone
    QString Path;              // of the WAV file

    // Reads one value; none (with `error` set) when it is not one of the forms above.
    static std::optional<TAudioInputChoice> Parse(const QString& text, QString* error);
    // The choice of the switch in `args`, else of the environment variable, else the device.
    // A value that cannot be read sets `error` and chooses the device.
    static TAudioInputChoice FromArguments(const QStringList& args, QString* error);

    std::unique_ptr<IAudioInput> Create() const;
    // How the event log names it, e.g. "a 440 Hz tone".
    QString Description() const;
};
