#include "TChannelTable.h"

#include <QDateTime>
#include <cmath>
#include <stdexcept>

#include "CoreTexts.h"
#include "TClock.h"
#include "TEventLog.h"

TChannelTable::TChannelTable() {
    for (int i = 0; i < kCapacity; ++i) slots_[static_cast<size_t>(i)].Number = i;
}

TChannelTable& TChannelTable::Instance() {
    static TChannelTable table;
    return table;
}

Tchannel& TChannelTable::operator[](int n) {
    if (n < 0 || n >= kCapacity) throw std::out_of_range("channel index out of range");
    return slots_[static_cast<size_t>(n)];
}

const Tchannel& TChannelTable::operator[](int n) const {
    if (n < 0 || n >= kCapacity) throw std::out_of_range("channel index out of range");
    return slots_[static_cast<size_t>(n)];
}

void TChannelTable::InitChannels(int count) {
    count_ = std::clamp(count, 0, kCapacity);
    for (int i = 0; i < count_; ++i) {
        Tchannel& c = slots_[static_cast<size_t>(i)];
        c.Number = i;
        c.CallerId.clear();
        c.CallerName.clear();
        c.Dtmf.clear();
        c.Idle = true;
        c.RecordingGain = 0;
        c.PlayGain = 0;
        c.Agc = false;
        c.TestCommand = 2;
        c.TestDuration = 0;
        c.Lock = std::make_shared<std::recursive_mutex>();
        if (c.Tag.isEmpty()) c.Tag = "#" + QString::number(i);
    }
}

bool TChannelTable::InSchedule(int n) const { return InSchedule(n, NowDateTime()); }

bool TChannelTable::InSchedule(int n, TDateTime now) const {
    const Tchannel& c = (*this)[n];
    QDateTime dt = FromDateTime(now);
    int d = dt.date().dayOfWeek() % 7 + 1;  // Qt: 1 Monday .. 7 Sunday; here 1 Sunday
    const TScheduleDay& day = c.Schedule[static_cast<size_t>(d)];
    if (!day.En) return false;
    if (day.FullTime) return true;
    auto msOf = [](TDateTime v) {
        double frac = std::fabs(v - std::trunc(v));
        return static_cast<long long>(std::llround(frac * 86400000.0));
    };
    long long t = dt.time().msecsSinceStartOfDay();
    return msOf(day.Start) <= t && t <= msOf(day.Stop);
}

int TChannelTable::TilesPerRow(int count) {
    if (count <= 2) return 2;
    if (count <= 4) return 4;
    if (count <= 6) return 6;
    return 8;
}

void TChannelTable::TilePosition(int channel, int count, int& left, int& top) {
    int p = TilesPerRow(count);
    left = 25 + 90 * (channel % p);
    top = 30 + 70 * (channel / p);
}

void TChannelTable::RefreshTilesOnShow() {
    for (int i = 0; i < count_; ++i) {
        Tchannel& c = slots_[static_cast<size_t>(i)];
        if (c.Operation && InSchedule(i)) {
            c.StateImage = TTileState::Idle;
            c.StateLabel = CoreTexts::kIdle;
        } else {
            c.StateImage = TTileState::Off;
            c.StateLabel = CoreTexts::kOff;
        }
        c.NameLabel = c.Tag;
    }
}

bool TChannelTable::MonitorTick() {
    bool changed = false;
    TDateTime now = NowDateTime();
    for (int i = 0; i < count_; ++i) {
        Tchannel& c = slots_[static_cast<size_t>(i)];
        if (c.StateImage == TTileState::Idle && !c.Idle) {
            c.StateImage = TTileState::Record;
            changed = true;
        }
        if (c.StateImage == TTileState::Record && c.Idle) {
            c.StateImage = TTileState::Idle;
            c.StateLabel = CoreTexts::kIdle;
            changed = true;
        }
        bool inService = c.Operation && InSchedule(i, now);
        if (inService && c.StateImage == TTileState::Off) {
            c.StateLabel = CoreTexts::kIdle;
            c.StateImage = TTileState::Idle;
            changed = true;
        }
        if (!inService && c.StateImage == TTileState::Idle) {
            c.StateLabel = CoreTexts::kOff;
            c.StateImage = TTileState::Off;
            changed = true;
        }
    }
    for (int i = 0; i < count_; ++i) {
        Tchannel& c = slots_[static_cast<size_t>(i)];
        if (!c.Idle) {
            QString elapsed = ElapsedText(c.StartTime, now);
            if (elapsed != c.StateLabel) {
                c.StateLabel = elapsed;
                changed = true;
            }
        }
        if (c.NameLabel != c.Tag) {
            c.NameLabel = c.Tag;
            changed = true;
        }
    }
    return changed;
}

void TChannelTable::ResetChannel(int n) {
    Tchannel& c = (*this)[n];
    c.CallerId.clear();
    c.CallerName.clear();
    c.Dtmf.clear();
    c.Idle = true;
    std::lock_guard<std::recursive_mutex> lock(*c.Lock);
    LogChannel(n, CoreTexts::kChannelReset);
    LogChannel(n, CoreTexts::kIdle);
}

QString ElapsedText(TDateTime from, TDateTime to) {
    double diff = to - from;
    long long ms = std::llround(diff * 86400000.0);
    if (ms < 0) ms = 0;
    long long secs = (ms / 1000) % 86400;
    return QString("%1:%2:%3")
        .arg(secs / 3600, 2, 10, QChar('0'))
        .arg((secs / 60) % 60, 2, 10, QChar('0'))
        .arg(secs % 60, 2, 10, QChar('0'));
}
