// One raised alarm: when, of which type, and its message.
#pragma once

#include <QString>
#include <cstdint>

#include "VolgaTypes.h"

struct TAlarm {
    enum Type : uint8_t { Hardware = 0, HddFull = 1, OverTime = 2, Software = 3, Thread = 4 };

    TDateTime Time = 0;  // local time when raised
    uint8_t Type = Hardware;
    QString Msg;
};
