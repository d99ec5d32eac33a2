#include "TPulseMixer.h"

#include <QProcess>
#include <QRegularExpression>

bool TPulseMixer::Run(const QStringList& args, QString* output) {
    QProcess p;
    // The listing is read by its English labels.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    p.setProcessEnvironment(env);
    p.start("pactl", args);
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool TPulseMixer::ParseSource(const QString& listing, const QString& name, SourceState& out) {
    const QStringList lines = listing.split('\n');
    bool inSource = false, inPorts = false;
    out = SourceState{name, {}, {}, {}};
    bool found = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (raw.startsWith("Source #")) {
            if (found) break;
            inSource = false;
            inPorts = false;
            continue;
        }
        if (line.startsWith("Name: ")) {
            inSource = line.mid(6) == name;
            found = found || inSource;
            continue;
        }
        if (!inSource) continue;
        if (line.startsWith("Volume:")) {
            QRegularExpression re("(\\d+) /");
            auto m = re.match(line);
            if (m.hasMatch()) out.Volume = m.captured(1);
        } else if (line.startsWith("Ports:")) {
            inPorts = true;
        } else if (line.startsWith("Active Port:")) {
            out.ActivePort = line.mid(12).trimmed();
            inPorts = false;
        } else if (inPorts && raw.startsWith("\t\t") && line.contains(':')) {
            out.Ports << line.left(line.indexOf(':')).trimmed();
        } else if (inPorts && !raw.startsWith("\t\t")) {
            inPorts = false;
        }
    }
    return found;
}

QString TPulseMixer::MicrophonePort(const SourceState& state) {
    QString mic;
    for (const QString& port : state.Ports)
        if (port.contains("mic", Qt::CaseInsensitive)) mic = port;  // the last match wins
    return mic;
}

bool TPulseMixer::SelectMicrophone() {
    QString source;
    if (!Run({"get-default-source"}, &source)) return false;
    source = source.trimmed();
    QString listing;
    if (source.isEmpty() || !Run({"list", "sources"}, &listing)) return false;
    SourceState state;
    if (!ParseSource(listing, source, state)) return false;
    saved_ = state;
    haveSaved_ = true;
    const QString mic = MicrophonePort(state);
    if (mic.isEmpty() || mic == state.ActivePort) return true;
    return Run({"set-source-port", source, mic});
}

bool TPulseMixer::RestoreRecordingInput() {
    if (!haveSaved_) return false;
    bool ok = true;
    if (!saved_.ActivePort.isEmpty()) ok = Run({"set-source-port", saved_.Name, saved_.ActivePort});
    if (!saved_.Volume.isEmpty()) ok = Run({"set-source-volume", saved_.Name, saved_.Volume}) && ok;
    return ok;
}
