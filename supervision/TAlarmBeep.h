// The audible alarm: `Count` times a beep of 800 Hz for half a second and half a second of
// silence, played through a wave output. It runs on the main thread's event loop (a timer ticks
// the seconds; each second's beep and pause are written to the output) and never blocks. Stop
// ends it after the beep and pause in progress. At the end the output plays out what it was
// given (as long as it reports its buffers, at most a few seconds) before it is closed. The end is
// reported once by `finished`, a queued signal, also when the count is 0 or the output cannot be
// opened (the seconds still pass then, silently). Main thread only.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>

class IWaveOutput;

class TAlarmBeep : public QObject {
    Q_OBJECT
public:
    // The beep owns its output (a beep that is stopping may still play while the next starts).
    TAlarmBeep(std::unique_ptr<IWaveOutput> output, int count, QObject* parent = nullptr);
    ~TAlarmBeep() override;

    // The length of one beep and of one pause (tests shorten them).
    int HalfCycleMs = 500;
    static constexpr int kFrequency = 800;
    static constexpr int kSampleRate = 8000;

    void Start();
    void Stop() { terminated_ = true; }
    int Count() const { return count_; }
    int BeepsStarted() const { return started_; }
    bool Running() const { return running_; }
    // One beep followed by its pause, as 16-bit mono PCM at kSampleRate.
    static QByteArray BeepAndPause(int halfCycleMs);

signals:
    void finished();

private:
    void NextBeep();
    // The last second has passed: the output plays out, then Finish.
    void PlayOut();
    void Finish();

    std::unique_ptr<IWaveOutput> output_;
    const int count_;
    int started_ = 0;
    bool terminated_ = false;
    bool running_ = false;
    bool playingOut_ = false;
    int written_ = 0;  // cycles written to the output
    int played_ = 0;   // and reported played
    QTimer tick_;
    QTimer playOutLimit_;
    QByteArray cycle_;
};
