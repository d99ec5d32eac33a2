#include "TAlarmMailer.h"

#include <curl/curl.h>

#include <QSysInfo>
#include <exception>

#include "CoreTexts.h"
#include "SupervisionTexts.h"
#include "TAlarmMessage.h"
#include "TClock.h"
#include "TEventLog.h"

namespace T = SupervisionTexts;

namespace {

// The name we give in EHLO: this machine's host name when it is a plain DNS name.
std::string HeloName() {
    const QString name = QSysInfo::machineHostName();
    if (name.isEmpty()) return std::string();
    for (QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != '-' && c != '.')
            return std::string();
    return name.toStdString();
}

void LogLine(const char* text) {
    // A log that cannot save its overflow keeps the line in memory; nothing more to do here.
    try {
        LogGeneral(QString::fromUtf8(text));
    } catch (const std::exception&) {
    }
}

}  // namespace

TAlarmMailer::TAlarmMailer(const TLiveSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    worker_ = std::thread([this] { Work(); });
}

TAlarmMailer::~TAlarmMailer() {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    worker_.join();
    curl_global_cleanup();
}

void TAlarmMailer::SendOverTimeMail(int channel) {
    Queue(TMailKind::OverTime, T::kMailOverTimeSubject,
          {T::kMailOverTimeLine + QString::number(channel)});
}

void TAlarmMailer::SendSoftwareErrorMail() {
    Queue(TMailKind::SoftwareError, T::kMailSoftwareSubject,
          {T::kMailSoftwareLine1, T::kMailSoftwareLine2});
}

void TAlarmMailer::SendHddFullMail() {
    Queue(TMailKind::HddFull, T::kMailHddFullSubject, {T::kMailHddFullLine1, T::kMailHddFullLine2});
}

void TAlarmMailer::TestServer() {
    Queue(TMailKind::Test, T::kMailTestSubject, {T::kMailTestLine});
}

void TAlarmMailer::Queue(TMailKind kind, const QString& subject, QStringList lines) {
    const TLiveSettings& s = settings_;
    if (!s.chkSmtp) return;
    TAlarmMessage message;
    message.Date = TClock::Instance().Now().date();
    message.SenderName = CoreTexts::kAppTitle;
    message.Sender = s.edtSmtpUserID;
    message.Subject = subject;
    message.Body = lines << QString() << T::kMailReportedBy + QString(CoreTexts::kAppTitle);
    message.Recipients = {s.edtRecipient1, s.edtRecipient2, s.edtRecipient3};

    TJob job{kind, {}};
    job.transfer.Host = s.edtServerName.trimmed().toStdString();
    job.transfer.Port = Port;
    job.transfer.HeloName = HeloName();
    job.transfer.From = message.EnvelopeFrom();
    job.transfer.Recipients = message.EnvelopeRecipients();
    job.transfer.Content = message.Content();
    job.transfer.ConnectTimeoutMs = ConnectTimeoutMs;
    job.transfer.TransferTimeoutMs = TransferTimeoutMs;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void TAlarmMailer::Work() {
    for (;;) {
        TJob job;
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        const TSmtpTransfer::TOutcome outcome = job.transfer.Run(stop_);
        if (outcome.Result == TSmtpTransfer::TResult::Aborted) return;
        Report(job.kind, outcome);
    }
}

void TAlarmMailer::Report(TMailKind kind, const TSmtpTransfer::TOutcome& outcome) {
    using R = TSmtpTransfer::TResult;
    if (outcome.DisconnectFailed) LogLine(T::kMailCannotDisconnect);
    if (outcome.Result != R::Sent) LogLine(T::kMailCannotConnect);
    const bool sent = outcome.Result == R::Sent;
    const bool completed =
        kind == TMailKind::Test && outcome.Result != R::ConnectFailed && !outcome.DisconnectFailed;
    // Posted to this object: the destructor joins the worker before the object goes, and
    // removes whatever is still posted.
    QMetaObject::invokeMethod(
        this,
        [this, kind, sent, completed] {
            if (completed) emit testCompleted(QString::fromUtf8(T::kMailTestCompleted));
            emit mailFinished(kind, sent);
        },
        Qt::QueuedConnection);
}
