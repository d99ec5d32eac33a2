#include "TShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
TShell realShell;
TShell* installed = nullptr;
constexpr int kOk = 33;
}  // namespace

TShell& TShell::Instance() { return installed ? *installed : realShell; }
void TShell::Install(TShell* shell) { installed = shell; }

int TShell::OpenDocument(const QString& path) {
    QFileInfo fi(path);
    if (!fi.dir().exists()) return 3;
    if (!fi.exists()) return 2;
    if (!fi.isReadable()) return 5;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absoluteFilePath())) ? kOk : 31;
}

int TShell::OpenUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url)) ? kOk : 31;
}

int TShell::Run(const QString& executable, const QStringList& args, const QString& workDir) {
    QFileInfo fi(executable);
    if (executable.isEmpty() || (executable.contains('/') && !fi.exists())) return 2;
    if (fi.exists() && !fi.isExecutable()) return 5;
    return QProcess::startDetached(executable, args, workDir) ? kOk : 2;
}

QString ShellErrorText(int result) {
    switch (result) {
        case 0: return "The operating system is out of memory or resources.";
        case 2: return "The specified file was not found.";
        case 3: return "The specified path was not found.";
        case 5: return "The operating system denied access to the specified file.";
        case 8: return "There was not enough memory to complete the operation.";
        case 11: return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
        case 26: return "A sharing violation occurred.";
        case 27: return "The filename association is incomplete or invalid.";
        case 28:
            return "The DDE transaction could not be completed because the request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not be completed because other DDE transactions "
                   "were being processed.";
        case 31: return "There is no application associated with the given filename extension.";
        case 32: return "The specified dynamic-link library was not found.";
        default: return QString();
    }
}
