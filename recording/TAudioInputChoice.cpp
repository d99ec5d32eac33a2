#include "TAudioInputChoice.h"

#include <QFileInfo>

#include "RecordingTexts.h"
#include "TQtAudioInput.h"
#include "TToneAudioInput.h"
#include "TWavFileAudioInput.h"

std::optional<TAudioInputChoice> TAudioInputChoice::Parse(const QString& text, QString* error) {
    TAudioInputChoice c;
    const QString t = text.trimmed();
    if (t.compare("device", Qt::CaseInsensitive) == 0) return c;
    if (t.compare("tone", Qt::CaseInsensitive) == 0) {
        c.InputKind = Kind::Tone;
        return c;
    }
    if (t.startsWith("tone:", Qt::CaseInsensitive)) {
        bool ok = false;
        const double hz = t.mid(5).toDouble(&ok);
        // Up to half the capture rate; anything above would fold back as another tone.
        if (ok && hz > 0 && hz < 5512.5) {
            c.InputKind = Kind::Tone;
            c.Frequency = hz;
            return c;
        }
    } else if (t.startsWith("wav:", Qt::CaseInsensitive) && t.size() > 4) {
        c.InputKind = Kind::WavFile;
        c.Path = QFileInfo(t.mid(4)).absoluteFilePath();
        return c;
    }
    if (error) *error = RecordingTexts::kBadAudioInput + text;
    return std::nullopt;
}

TAudioInputChoice TAudioInputChoice::FromArguments(const QStringList& args, QString* error) {
    QString value;
    bool given = false;
    for (const QString& a : args)
        if (a.startsWith(kSwitch)) {
            value = a.mid(static_cast<int>(qstrlen(kSwitch)));
            given = true;
        }
    if (!given && qEnvironmentVariableIsSet(kVariable)) {
        value = qEnvironmentVariable(kVariable);
        given = !value.trimmed().isEmpty();
    }
    if (!given) return TAudioInputChoice();
    std::optional<TAudioInputChoice> c = Parse(value, error);
    return c ? *c : TAudioInputChoice();
}

std::unique_ptr<IAudioInput> TAudioInputChoice::Create() const {
    switch (InputKind) {
        case Kind::Tone:
            return std::make_unique<TToneAudioInput>(Frequency);
        case Kind::WavFile:
            return std::make_unique<TWavFileAudioInput>(Path);
        case Kind::Device:
            break;
    }
    return std::make_unique<TQtAudioInput>();
}

QString TAudioInputChoice::Description() const {
    switch (InputKind) {
        case Kind::Tone:
            return QString(RecordingTexts::kToneInput).arg(Frequency);
        case Kind::WavFile:
            return QString(RecordingTexts::kWavInput).arg(Path);
        case Kind::Device:
            break;
    }
    return RecordingTexts::kDeviceInput;
}
