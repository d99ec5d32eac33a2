#include "TExternalTool.h"

#include <QProcess>

QString TExternalTool::ButtonCaption(const QString& caption) {
    if (caption.size() > 16) return caption.left(12) + "...";
    return caption;
}

std::optional<TExternalTool::Invocation> TExternalTool::Build(const QString& commandLine,
                                                              const QString& executable,
                                                              const QString& recordingsFolder,
                                                              const QString& currentFileName) {
    Invocation inv;
    inv.Executable = executable;
    if (commandLine == "%s" || commandLine == "%S") {
        if (currentFileName.isEmpty()) return std::nullopt;
        // A file name that leaves the recordings folder is not passed on.
        if (currentFileName.contains('/') || currentFileName == "..") return std::nullopt;
        inv.Args << recordingsFolder + currentFileName;
        inv.WorkDir = recordingsFolder;
        return inv;
    }
    if (commandLine.trimmed().isEmpty()) return std::nullopt;
    inv.Args = QProcess::splitCommand(commandLine);
    if (inv.Args.isEmpty()) return std::nullopt;
    return inv;
}
