// The user's external tool: its captions and how it is started.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TExternalTool {
public:
    // The tool-bar button shows at most 16 characters: a longer caption is cut to 12 and "...".
    static QString ButtonCaption(const QString& caption);

    struct Invocation {
        QString Executable;
        QStringList Args;
        QString WorkDir;
    };
    // "%s" (or "%S") alone stands for the recording of the current call: the recordings folder
    // followed by its file name, run in the recordings folder. Any other command line is split
    // into arguments as it stands. Nothing to run (empty parameters): no invocation.
    static std::optional<Invocation> Build(const QString& commandLine, const QString& executable,
                                           const QString& recordingsFolder,
                                           const QString& currentFileName);
};
