// One alarm mail as it goes to the server: its headers, its body and its envelope, composed on
// the thread that raises the alarm. The results are standard strings in UTF-8, so the sending
// thread gets its own copy and shares nothing with the settings it was made from.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class TAlarmMessage {
public:
    QDate Date;          // the Date header is this day at midnight, local time
    QString SenderName;  // display name of From
    QString Sender;      // the user ID: "address" or "Name <address>"; also the Reply-To
    QString Subject;
    QStringList Body;        // lines, each ended with CRLF
    QStringList Recipients;  // "address" or "Name <address>", in order; empty texts are skipped

    // The address part of "Name <address>", or the trimmed text when it has no angle brackets.
    static QString AddressOf(const QString& text);

    // Headers, an empty line and the body, lines ended with CRLF.
    std::string Content() const;
    // The arguments of MAIL FROM and of each RCPT TO, "<address>".
    std::string EnvelopeFrom() const;
    std::vector<std::string> EnvelopeRecipients() const;

private:
    QStringList UsedRecipients() const;
};
