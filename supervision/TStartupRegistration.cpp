#include "TStartupRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "CoreTexts.h"
#include "TAtomicFile.h"
#include "TPelmGlobals.h"

namespace {
TStartupRegistration realRegistration;
TStartupRegistration* installed = nullptr;
}  // namespace

TStartupRegistration& TStartupRegistration::Instance() {
    return installed ? *installed : realRegistration;
}

void TStartupRegistration::Install(TStartupRegistration* registration) {
    installed = registration;
}

QString TStartupRegistration::EntryFileName() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + "/autostart/" + CoreTexts::kAppTitle + ".desktop";
}

QString TStartupRegistration::QuoteExecArgument(const QString& argument) {
    // Inside double quotes the desktop-entry rules escape ", `, $ and \ with a backslash; the
    // key's value is a string, where a backslash itself is written twice; % is doubled.
    QString quoted;
    for (QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted.replace("\\", "\\\\");
    quoted.replace("%", "%%");
    return '"' + quoted + '"';
}

QByteArray TStartupRegistration::EntryText(const QString& programPath) {
    QString text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += QString("Name=") + CoreTexts::kAppTitle + "\n";
    text += "Exec=" + QuoteExecArgument(programPath) + " STARTUP\n";
    text += "Terminal=false\n";
    text += "X-GNOME-Autostart-enabled=true\n";
    return text.toUtf8();
}

bool TStartupRegistration::Register(QString* error) {
    const QString program = QCoreApplication::applicationFilePath();
    if (program.contains('\n') || program.contains('\r')) {
        if (error) *error = "the program's path cannot be written into a desktop entry";
        return false;
    }
    const QString file = EntryFileName();
    if (!TPelmGlobals::MakeMissingDirs(QFileInfo(file).absolutePath())) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return TAtomicFile::Write(file, EntryText(program), error);
}

bool TStartupRegistration::Unregister(QString* error) {
    QFile entry(EntryFileName());
    if (!entry.exists() || entry.remove()) return true;
    if (error) *error = entry.errorString();
    return false;
}

bool TStartupRegistration::IsRegistered() const {
    return QFileInfo::exists(EntryFileName());
}
