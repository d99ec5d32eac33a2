#include "TClock.h"

#include <cmath>

namespace {
TClock systemClock;
TClock* installed = nullptr;
const QDate kEpoch(1899, 12, 30);
}  // namespace

TClock& TClock::Instance() { return installed ? *installed : systemClock; }

void TClock::Install(TClock* clock) { installed = clock; }

TDateTime ToDateTime(const QDateTime& dt) {
    double days = static_cast<double>(kEpoch.daysTo(dt.date()));
    double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + frac : days - frac;
}

QDateTime FromDateTime(TDateTime value) {
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    qint64 ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    return QDateTime(kEpoch.addDays(static_cast<qint64>(whole)),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime NowDateTime() { return ToDateTime(TClock::Instance().Now()); }
