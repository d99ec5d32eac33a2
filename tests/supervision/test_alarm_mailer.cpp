// The alarm e-mail against a real SMTP server on 127.0.0.1: the four mails and their texts,
// the recipients, the gate, and the failures with their log lines, sent without holding up
// the main thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <memory>
#include <ostream>

#include "TAlarmMailer.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TSmtpSink.h"

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
void PrintTo(const QJsonArray& a, std::ostream* os) {
    *os << QJsonDocument(a).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

using Kind = TAlarmMailer::TMailKind;

QJsonArray Pair(const QString& name, const QString& address) {
    return QJsonArray{name, address};
}

class AlarmMailerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TEventLog::SetInstance(&log);
        settings.chkSmtp = true;
        settings.edtServerName = "127.0.0.1";
        settings.edtSmtpUserID = "recorder@example.org";
        settings.edtRecipient1 = "Alarm Desk <desk@example.org>";
        settings.edtRecipient2 = "";
        settings.edtRecipient3 = "Jürgen Groß <ops@example.org>";
    }
    void TearDown() override {
        completed.reset();
        finished.reset();
        mailer.reset();
        sink.reset();
        TEventLog::SetInstance(nullptr);
    }

    // The server in `mode`, then the mailer that sends to it. The server's process is started
    // first, while this process has no thread of the mailer yet.
    void Start(const QString& mode) {
        sink = std::make_unique<TSmtpSink>(mode);
        mailer = std::make_unique<TAlarmMailer>(settings);
        mailer->Port = sink->Port();
        finished = std::make_unique<QSignalSpy>(mailer.get(), &TAlarmMailer::mailFinished);
        completed = std::make_unique<QSignalSpy>(mailer.get(), &TAlarmMailer::testCompleted);
    }

    // Waits until `count` mail attempts have ended, at most `ms`.
    bool WaitForMails(int count, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (finished->count() < count && t.elapsed() < ms) finished->wait(50);
        return finished->count() >= count;
    }
    Kind KindOf(int i) const { return finished->at(i).at(0).value<Kind>(); }
    bool Sent(int i) const { return finished->at(i).at(1).toBool(); }

    // The messages of the log lines, without their time stamps.
    QStringList Logged() const {
        QStringList out;
        for (const QString& line : log.Lines()) out << line.mid(line.indexOf("  (") + 3).chopped(1);
        return out;
    }

    TEventLog log;
    TLiveSettings settings;
    std::unique_ptr<TSmtpSink> sink;
    std::unique_ptr<TAlarmMailer> mailer;
    std::unique_ptr<QSignalSpy> finished, completed;
};

}  // namespace

TEST_F(AlarmMailerTest, EachAlarmMailCarriesItsTextsToTheRecipientsThatAreSet) {
    Start("store");
    mailer->SendOverTimeMail(7);
    mailer->SendSoftwareErrorMail();
    mailer->SendHddFullMail();
    ASSERT_TRUE(WaitForMails(3));
    EXPECT_EQ(KindOf(0), Kind::OverTime);
    EXPECT_EQ(KindOf(1), Kind::SoftwareError);
    EXPECT_EQ(KindOf(2), Kind::HddFull);
    EXPECT_TRUE(Sent(0) && Sent(1) && Sent(2));
    EXPECT_TRUE(Logged().isEmpty());
    EXPECT_EQ(completed->count(), 0);

    const QList<QJsonObject> mails = sink->Messages();
    ASSERT_EQ(mails.size(), 3);
    const QStringList subjects = {"OverTime alarm", "Software error alarm", "HDD full alarm"};
    const QStringList bodies = {
        "Recording reached maximum time on channel 7\r\n\r\nReported by Pelmorant\r\n",
        "Software error occured. Please reset hardware\r\nSoftware error\r\n\r\n"
        "Reported by Pelmorant\r\n",
        "Main storage medium is full. Please follow back-up procedure\r\nHDDD full alarm\r\n\r\n"
        "Reported by Pelmorant\r\n"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(subjects[i].toStdString());
        const QJsonObject& m = mails[i];
        EXPECT_EQ(m["subject"].toString(), subjects[i]);
        EXPECT_EQ(m["body"].toString(), bodies[i]);
        EXPECT_EQ(m["content_type"].toString(), "text/plain");
        EXPECT_EQ(m["charset"].toString(), "utf-8");
        EXPECT_EQ(m["from"].toArray(), QJsonArray{Pair("Pelmorant", "recorder@example.org")});
        EXPECT_EQ(m["reply_to"].toArray(), QJsonArray{Pair("", "recorder@example.org")});
        EXPECT_EQ(m["mail_from"].toString(), "recorder@example.org");
        // Recipient 2 is empty: recipients 1 and 3, in this order, with their names.
        EXPECT_EQ(m["rcpt_tos"].toArray(), (QJsonArray{"desk@example.org", "ops@example.org"}));
        EXPECT_EQ(m["to"].toArray(), (QJsonArray{Pair("Alarm Desk", "desk@example.org"),
                                                 Pair("Jürgen Groß", "ops@example.org")}));
        // Dated today at midnight.
        const QDateTime date =
            QDateTime::fromString(m["date"].toString(), Qt::ISODate).toLocalTime();
        EXPECT_EQ(date.date(), QDate::currentDate());
        EXPECT_EQ(date.time(), QTime(0, 0));
    }
}

TEST_F(AlarmMailerTest, TestMailReportsCompletionOnTheMainThread) {
    Start("store");
    bool onMainThread = false;
    QObject::connect(mailer.get(), &TAlarmMailer::testCompleted, [&] {
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    mailer->TestServer();
    ASSERT_TRUE(WaitForMails(1));
    EXPECT_EQ(KindOf(0), Kind::Test);
    EXPECT_TRUE(Sent(0));
    ASSERT_EQ(completed->count(), 1);
    EXPECT_EQ(completed->at(0).at(0).toString(), "      Test completed      ");
    EXPECT_TRUE(onMainThread);
    const QList<QJsonObject> mails = sink->Messages();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0]["subject"].toString(), "Alarm test");
    EXPECT_EQ(mails[0]["body"].toString(), "Test message\r\n\r\nReported by Pelmorant\r\n");
    EXPECT_TRUE(Logged().isEmpty());
}

TEST_F(AlarmMailerTest, NothingIsSentWhileTheMailIsOff) {
    Start("store");
    settings.chkSmtp = false;
    mailer->SendOverTimeMail(2);
    mailer->SendSoftwareErrorMail();
    mailer->SendHddFullMail();
    mailer->TestServer();
    // Mails go out in order: had any of the above been queued, it would end before this one.
    settings.chkSmtp = true;
    mailer->SendHddFullMail();
    ASSERT_TRUE(WaitForMails(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(finished->count(), 1);
    EXPECT_EQ(KindOf(0), Kind::HddFull);
    EXPECT_EQ(completed->count(), 0);
    const QList<QJsonObject> mails = sink->Messages();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0]["subject"].toString(), "HDD full alarm");
}

TEST_F(AlarmMailerTest, RefusedConnectionLogsCannotConnectAndNoTestCompletion) {
    Start("refuse");
    mailer->SendOverTimeMail(1);
    mailer->TestServer();
    ASSERT_TRUE(WaitForMails(2));
    EXPECT_FALSE(Sent(0) || Sent(1));
    EXPECT_EQ(Logged(), QStringList({"Can not connect to server", "Can not connect to server"}));
    EXPECT_EQ(completed->count(), 0);
}

TEST_F(AlarmMailerTest, RefusedRecipientsLogCannotConnectButTheTestCompletes) {
    // Connected and closed, but the mail itself failed.
    Start("norcpt");
    mailer->TestServer();
    ASSERT_TRUE(WaitForMails(1));
    EXPECT_FALSE(Sent(0));
    EXPECT_EQ(Logged(), QStringList{"Can not connect to server"});
    ASSERT_EQ(completed->count(), 1);
    EXPECT_EQ(completed->at(0).at(0).toString(), "      Test completed      ");
    EXPECT_TRUE(sink->Messages().isEmpty());
}

TEST_F(AlarmMailerTest, UnansweredQuitLogsCannotDisconnect) {
    Start("noquit");
    mailer->TransferTimeoutMs = 1000;
    mailer->TestServer();
    ASSERT_TRUE(WaitForMails(1));
    EXPECT_TRUE(Sent(0));  // the server has the mail
    EXPECT_EQ(sink->Messages().size(), 1);
    EXPECT_EQ(Logged(), QStringList{"Can not disconect from server"});
    EXPECT_EQ(completed->count(), 0);
}

TEST_F(AlarmMailerTest, SilentServerTimesOutWhileTheMainThreadRunsOn) {
    Start("silent");
    mailer->ConnectTimeoutMs = 2000;
    mailer->TransferTimeoutMs = 2000;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer t;
    t.start();
    mailer->SendHddFullMail();
    mailer->SendOverTimeMail(3);
    EXPECT_LT(t.elapsed(), 500);  // queued, not sent, by the calls
    ASSERT_TRUE(WaitForMails(2, 15000));
    // Each mail ends at its time-out, one after the other.
    EXPECT_GE(t.elapsed(), 3500);
    EXPECT_LT(t.elapsed(), 9000);
    EXPECT_GE(ticks, 20);  // the main thread's timer kept running throughout
    EXPECT_FALSE(Sent(0) || Sent(1));
    EXPECT_EQ(Logged(), QStringList({"Can not connect to server", "Can not connect to server"}));
}

TEST_F(AlarmMailerTest, DestructionAbandonsTheMailsInProgress) {
    Start("silent");
    mailer->SendHddFullMail();  // waits up to its time-outs (10 s and 30 s)
    mailer->TestServer();       // queued behind it
    QThread::msleep(300);       // the first is now connected and waiting for the greeting
    QElapsedTimer t;
    t.start();
    completed.reset();
    finished.reset();
    mailer.reset();
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_TRUE(log.Lines().isEmpty());  // abandoned, not failed
}
