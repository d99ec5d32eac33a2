// One telephone-line channel: its settings, the state of the call in progress and the details
// of that call until it is filed.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include "VolgaTypes.h"

struct TScheduleDay {
    bool En = true;
    TDateTime Start = 9.0 / 24.0;
    TDateTime Stop = 17.0 / 24.0;
    bool FullTime = true;
    bool operator==(const TScheduleDay&) const = default;
};

// Index 1 = Sunday .. 7 = Saturday; slot 0 is unused.
using TWeekSchedule = std::array<TScheduleDay, 8>;

// Shown state of a monitor tile (the image tag).
enum class TTileState { Off = 0, Idle = 1, Record = 2 };

struct Tchannel {
    int32_t Number = 0;
    QString Tag;
    bool Operation = false;
    bool OperationEdit = false;
    bool Idle = true;
    uint8_t Trigger = 1;
    int32_t LevelOn = 16, RunOn = 2000, DtrmVoltage = 26, RecordingGain = 0, PlayGain = 0;
    // Monitor tile: what its two labels and its picture show.
    QString NameLabel;
    QString StateLabel;
    TTileState StateImage = TTileState::Off;
    TDateTime StartTime = 0;
    TDateTime StopTime = 0;
    QString Dtmf;
    QString CallerId;
    QString CallerName;
    uint8_t InOut = 0;
    QString FileName;
    bool Agc = false;
    TWeekSchedule Schedule{};
    TWeekSchedule ScheduleEdit{};
    uint8_t TestCommand = 2;
    int32_t TestDuration = 0;
    // Re-entrant on the owning thread. A copy of the record (the call details handed to
    // completion and filing are a value copy) shares the channel's lock.
    std::shared_ptr<std::recursive_mutex> Lock = std::make_shared<std::recursive_mutex>();
};
