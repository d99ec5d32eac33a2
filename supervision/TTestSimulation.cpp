#include "TTestSimulation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cmath>

#include "TChannelTable.h"
#include "TClock.h"

TTestSimulation::TTestSimulation(TChannelTable& channels, QObject* parent)
    : QObject(parent), channels_(channels) {
    timer_.setInterval(3000);
    connect(&timer_, &QTimer::timeout, this, &TTestSimulation::Tick);
}

void TTestSimulation::SetIntervalSeconds(int seconds) {
    timer_.setInterval(std::clamp(seconds, 1, 50) * 1000);
}

void TTestSimulation::Start() {
    random_.seed(std::random_device{}());
    timer_.start();
}

void TTestSimulation::Tick() {
    const int count = channels_.Count();
    for (int n = 0; n < count; ++n) {
        Tchannel& c = channels_[n];
        if (!c.Idle) continue;
        c.TestCommand = kStartCall;
        c.TestDuration = static_cast<int32_t>(random_() % 200);
        break;
    }
    const TDateTime now = NowDateTime();
    for (int n = 0; n < count; ++n) {
        Tchannel& c = channels_[n];
        if (c.Idle) continue;
        // Whole seconds of the call so far.
        const auto elapsed = static_cast<int32_t>(std::floor((now - c.StartTime) * 86400.0 + 1e-6));
        if (elapsed < c.TestDuration) continue;
        c.TestCommand = kEndCall;
        break;
    }
}

void TTestSimulation::Stop() {
    timer_.stop();
    const int count = channels_.Count();
    for (int n = 0; n < count; ++n) {
        if (!channels_[n].Idle) {
            channels_[n].TestCommand = kEndCall;
            QDeadlineTimer deadline(EndWaitMs);
            while (!channels_[n].Idle && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        channels_[n].TestCommand = kNoCommand;
    }
}
