#include "TAlarmQueue.h"

#include "TClock.h"

bool TAlarmQueue::Add(TAlarm alarm) {
    if (!enabled_.load()) return false;
    std::lock_guard<std::mutex> guard(lock_);
    alarms_.push_back(std::move(alarm));
    return true;
}

std::vector<TAlarm> TAlarmQueue::TakeAll() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<TAlarm> out(std::make_move_iterator(alarms_.begin()),
                            std::make_move_iterator(alarms_.end()));
    alarms_.clear();
    return out;
}

void TAlarmQueue::PutBack(std::vector<TAlarm> alarms) {
    std::lock_guard<std::mutex> guard(lock_);
    alarms_.insert(alarms_.begin(), std::make_move_iterator(alarms.begin()),
                   std::make_move_iterator(alarms.end()));
}

int TAlarmQueue::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(alarms_.size());
}

TAlarmQueue& TAlarmQueue::Instance() {
    static TAlarmQueue queue;
    return queue;
}

void QueueThreadAlarm(const QString& text) {
    TAlarmQueue::Instance().Add({NowDateTime(), TAlarm::Thread, text});
}
