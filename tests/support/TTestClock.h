// The tests' clock: a fixed local time that a test moves by hand. Installed as the process
// clock while it lives when asked to, so a failing test never leaves it behind.
#pragma once

#include <QDateTime>
#include <utility>

#include "TClock.h"

class TTestClock : public TClock {
public:
    enum class Install { No, Yes };

    explicit TTestClock(QDateTime start = QDateTime(QDate(2026, 12, 9), QTime(10, 11, 12, 345)),
                        Install install = Install::No)
        : now(std::move(start)), installed_(install == Install::Yes) {
        if (installed_) TClock::Install(this);
    }
    ~TTestClock() override {
        if (installed_) TClock::Install(nullptr);
    }
    TTestClock(const TTestClock&) = delete;
    TTestClock& operator=(const TTestClock&) = delete;

    QDateTime Now() const override { return now; }

    QDateTime now;

private:
    bool installed_;
};
