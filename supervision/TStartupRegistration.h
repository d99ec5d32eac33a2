// Starting the program with the user's session: an XDG autostart entry
// $XDG_CONFIG_HOME/autostart/Pelmorant.desktop whose command is the program followed by
// STARTUP. Behind an interface so that tests can stand in for the session.
#pragma once

#include <QString>

class TStartupRegistration {
public:
    virtual ~TStartupRegistration() = default;
    // False with `error` set when the entry could not be written or removed.
    virtual bool Register(QString* error = nullptr);
    virtual bool Unregister(QString* error = nullptr);
    virtual bool IsRegistered() const;

    // Where the entry lives, and the text written there for a program.
    static QString EntryFileName();
    static QByteArray EntryText(const QString& programPath);
    // A program path quoted for the Exec key of a desktop entry.
    static QString QuoteExecArgument(const QString& argument);

    static TStartupRegistration& Instance();
    static void Install(TStartupRegistration* registration);  // null restores the real one
};
