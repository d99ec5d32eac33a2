// Opening documents and web addresses with their programs, and running executables. Results
// follow the desktop shell's codes: above 32 is success, 32 or less an error (ShellErrorText).
#pragma once

#include <QString>
#include <QStringList>

class TShell {
public:
    virtual ~TShell() = default;
    virtual int OpenDocument(const QString& path);
    virtual int OpenUrl(const QString& url);
    // Starts the program with an argument list (never through a shell).
    virtual int Run(const QString& executable, const QStringList& args, const QString& workDir);

    static TShell& Instance();
    static void Install(TShell* shell);  // null restores the real one
};

// The message for a result of 32 or less; empty for results without one.
QString ShellErrorText(int result);
