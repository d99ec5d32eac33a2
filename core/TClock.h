// The local clock, behind an interface so that tests can set the time.
#pragma once

#include <QDateTime>

#include "VolgaTypes.h"

class TClock {
public:
    virtual ~TClock() = default;
    virtual QDateTime Now() const { return QDateTime::currentDateTime(); }

    // The process clock (the system clock unless a test installed another).
    static TClock& Instance();
    static void Install(TClock* clock);  // null restores the system clock
};

// Date-times as days since 30 December 1899, the fraction being the time of day (local time).
TDateTime ToDateTime(const QDateTime& dt);
QDateTime FromDateTime(TDateTime value);
TDateTime NowDateTime();
