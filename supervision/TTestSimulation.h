// The Tests window's call simulation for a line source that takes test commands: on each tick
// the lowest idle channel is told to start a test call of a random length (0 to 199 seconds),
// and the first busy channel whose call has lasted its length is told to end it. "Stop" ends
// every call and clears the commands; it waits for each busy channel to go idle, keeping the
// window responsive, but no longer than `EndWaitMs` per channel (a line source that ignores the
// commands, such as the simulated one, never ends a call by itself). Main thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <random>

class TChannelTable;

class TTestSimulation : public QObject {
    Q_OBJECT
public:
    explicit TTestSimulation(TChannelTable& channels, QObject* parent = nullptr);

    static constexpr uint8_t kStartCall = 0, kEndCall = 1, kNoCommand = 2;
    int EndWaitMs = 5000;

    void SetIntervalSeconds(int seconds);
    void Start();
    void Stop();
    bool Running() const { return timer_.isActive(); }
    // One tick of the timer.
    void Tick();

private:
    TChannelTable& channels_;
    QTimer timer_;
    std::mt19937 random_;
};
