// The alarm e-mail: the OverTime, Software error, HDD full and test mails, sent through the
// SMTP server of the mail settings (port 25, no authentication) to up to three recipients.
// Threads: the object belongs to the thread that creates it (the main thread); only that thread
// calls its methods, sets its members and destroys it. A Send method reads the settings there,
// composes the mail, queues it and returns at once; the object's own worker thread sends the
// queued mails one at a time, in the order queued, so the main thread never waits for a mail
// server. The worker touches only the queue (under queueMutex_), the stop flag (atomic), the
// job it has taken and the event log (which takes lines from any thread). The signals are
// emitted on the owning thread. The destructor drops the mails still queued, abandons the one
// being sent (within about a second) and joins the worker.
//
// Each mail is tried once. A failed connection, or a conversation that fails, logs "Can not
// connect to server"; a QUIT the server does not answer after a sent mail logs "Can not
// disconect from server".
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "TLiveSettings.h"
#include "TSmtpTransfer.h"

class TAlarmMailer : public QObject {
    Q_OBJECT
public:
    enum class TMailKind { OverTime, SoftwareError, HddFull, Test };
    Q_ENUM(TMailKind)

    // `settings` are read at each send (chkSmtp, edtServerName, edtSmtpUserID, edtRecipient1..3)
    // and must outlive the mailer.
    explicit TAlarmMailer(const TLiveSettings& settings = TLiveSettings::Instance(),
                          QObject* parent = nullptr);
    ~TAlarmMailer() override;

    // Server port and time-outs, taken into each mail when it is queued.
    int Port = 25;
    int ConnectTimeoutMs = 10000;   // connecting and the server's greeting
    int TransferTimeoutMs = 30000;  // the whole conversation

    // One mail each; nothing happens while the e-mail is not enabled (chkSmtp).
    void SendOverTimeMail(int channel);
    void SendSoftwareErrorMail();
    void SendHddFullMail();
    // The "Test server" button: the test mail, then testCompleted when the connection was made
    // and closed, even when the server refused the mail itself.
    void TestServer();

signals:
    // A mail's attempt has ended; `sent` when the server took it. Not emitted for the mails
    // dropped or abandoned by the destructor.
    void mailFinished(TAlarmMailer::TMailKind kind, bool sent);
    // "      Test completed      ", for the program to show.
    void testCompleted(const QString& message);

private:
    struct TJob {
        TMailKind kind = TMailKind::Test;
        TSmtpTransfer transfer;
    };

    void Queue(TMailKind kind, const QString& subject, QStringList lines);
    void Work();
    void Report(TMailKind kind, const TSmtpTransfer::TOutcome& outcome);

    const TLiveSettings& settings_;
    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::deque<TJob> queue_;  // guarded by queueMutex_
    std::atomic<bool> stop_{false};
    std::thread worker_;  // last: starts when everything above exists
};
