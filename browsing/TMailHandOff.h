// Hands a message to the desktop's mail program with its compose window shown, through
// `xdg-email` (xdg-utils): the user picks the recipients and sends it. Blocks until xdg-email
// has passed the message on (it returns once the mail program has it). Main thread only.
#pragma once

#include <QString>
#include <QStringList>

class TMailHandOff {
public:
    // The command line given to xdg-email: the body, then one --attach per file.
    static QStringList Arguments(const QString& body, const QStringList& attachments);
    // False with `error` (a text for the user) when no mail program could take the message:
    // xdg-email missing, or its exit status saying it failed.
    static bool Compose(const QString& body, const QStringList& attachments, QString* error);
};
