#include "TStorageRun.h"

#include <unistd.h>

#include <chrono>
#include <exception>

#include "SupervisionTexts.h"
#include "TAlarmQueue.h"
#include "TChannelTable.h"
#include "TEventLog.h"
#include "TTableSteps.h"

TStorageRun::TStorageRun(Context context) : ctx_(std::move(context)) {}

TStorageRun::~TStorageRun() {
    Join();
}

void TStorageRun::Join() {
    if (thread_.joinable()) thread_.join();
}

void TStorageRun::Start(std::function<void()> ended) {
    ctx_.Steps.AddWorker();
    thread_ = std::thread([this, ended = std::move(ended)] {
        try {
            try {
                Execute();
            } catch (const std::exception& e) {
                // Whatever ended the run unexpectedly (the log's own save, say) ends it as a
                // failure.
                Fail(QString::fromUtf8(e.what()));
            }
        } catch (...) {
            // Nothing may leave the thread; the run has ended.
        }
        ctx_.Steps.RemoveWorker();
        ended();
    });
}

void TStorageRun::LogThreadId() {
    const auto id = static_cast<quint32>(::gettid());
    LogGeneral(SupervisionTexts::kThreadId + QString("%1").arg(id, 8, 16, QChar('0')).toUpper());
}

void TStorageRun::Pause(int ms) const {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool TStorageRun::OnMain(const std::function<void()>& step) {
    return ctx_.Steps.Run(step);
}

void TStorageRun::Fail(const QString& text) {
    OnMain([this] {
        for (int n = 0; n < ctx_.Channels.Count(); ++n) ctx_.Channels[n].Operation = false;
    });
    LogGeneral(text);
    QueueThreadAlarm(text);
}
