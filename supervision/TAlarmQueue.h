// The alarms raised and not yet written to the Alarms table, in the order raised. Any thread may
// add an alarm (Add, and QueueThreadAlarm for the storage runs); the main thread sets whether
// alarms are taken at all (SetEnabled, from the audio alarm's "Enable") and takes them all out
// once a second (TakeAll), or puts back in front those it could not write (PutBack). One lock
// guards the list; each entry is complete before it is added.
#pragma once

#include <QString>
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include "TAlarm.h"

class TAlarmQueue {
public:
    // Adds the alarm when alarms are enabled; false when it was not taken.
    bool Add(TAlarm alarm);
    std::vector<TAlarm> TakeAll();
    void PutBack(std::vector<TAlarm> alarms);
    void SetEnabled(bool on) { enabled_.store(on); }
    bool Enabled() const { return enabled_.load(); }
    int Count() const;

    // The program's queue.
    static TAlarmQueue& Instance();

private:
    mutable std::mutex lock_;
    std::deque<TAlarm> alarms_;
    std::atomic<bool> enabled_{true};
};

// A storage run's failure as a "Thread" alarm, stamped now. Any thread.
void QueueThreadAlarm(const QString& text);
