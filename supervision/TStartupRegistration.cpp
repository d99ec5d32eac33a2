#include "TStartupRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "CoreTexts.h"

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
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error) *error = out.errorString();
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(EntryText(program));
    if (!out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    return true;
}

bool TStartupRegistration::Unregister(QString* error) {
    QFile entry(EntryFileName());
    if (!entry.exists() || entry.remove()) return true;
    if (error) *error = entry.errorString();
    return false;
}

bool TStartupRegistration::IsRegistered() const { return QFileInfo::exists(EntryFileName()); }
