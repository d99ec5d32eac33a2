// The simulated line source and the recording path around each call: the Record button starts
// a call on a random channel with random caller data while the microphone is recorded; Record
// again, the 81st second or the overtime limit end it.
#pragma once

#include <QObject>
#include <functional>

#include "TSimRandom.h"

class IAlarmCalls;
class IAudioRecorder;
class IMixer;
class QTimer;
class TCallCompletion;
class TChannelTable;
class TLiveSettings;

class TdmRecorder : public QObject {
    Q_OBJECT
public:
    TdmRecorder(TChannelTable& channels, TLiveSettings& settings, IAudioRecorder& micRec,
                IMixer* mixer, TCallCompletion& completion, IAlarmCalls* alarms,
                QObject* parent = nullptr);

    // The Record button (and the "Record" menu item).
    void RecordClick();
    bool CallActive() const { return callActive_; }
    void StartCall();
    void StopCall();
    // The recording path, for any line source. BeginRecording returns false when the capture
    // could not start (the error has been shown and the call state taken back).
    bool BeginRecording(int n);
    void EndRecording(int n);
    void CallClockTick();
    bool CheckOvertime(int n);

    int CurrentChannel = 0;
    int Ticks = 0;
    TSimRandom Random;
    QTimer* Timer1() const { return timer1_; }
    // The main window's Record handler, invoked to end a call from inside the module; the
    // button and menu item follow CallActive through it.
    std::function<void()> OnEndCall;
    // Tells the window that the call state changed (button down/up, menu item checked).
    std::function<void(bool active)> OnCallStateChanged;

private:
    void SetCallActive(bool on);

    TChannelTable& channels_;
    TLiveSettings& settings_;
    IAudioRecorder& micRec_;
    IMixer* mixer_;
    TCallCompletion& completion_;
    IAlarmCalls* alarms_;
    QTimer* timer1_;
    bool callActive_ = false;
};
