// The alarms: raising them into the alarm queue (each gated by the audio alarm's "Enable"),
// moving the queued ones into the Alarms table once a second and sounding the audible alarm,
// "Stop alarm" and "Clear Messages", and handing the alarm e-mails to the mailer. An alarm the
// table could not take stays queued for the next second, and the error is shown once until a
// write succeeds again. Main thread only (other threads raise alarms through TAlarmQueue).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "IAlarmCalls.h"
#include "TAlarmBeep.h"

class IWaveOutput;
class TAlarmQueue;
class TChannelTable;
class TDatasetModel;
class TPelmGlobals;
class TVolgaDataset;
struct TLiveSettings;

class TAlarms : public QObject, public IAlarmCalls {
    Q_OBJECT
public:
    TAlarms(TLiveSettings& settings, TPelmGlobals& globals, TChannelTable& channels,
            TVolgaDataset& table, TAlarmQueue& queue, QObject* parent = nullptr);
    ~TAlarms() override;

    // The output each beep plays through (none: the beeps are silent).
    std::function<std::unique_ptr<IWaveOutput>()> MakeOutput;
    // The alarm e-mails (none: not sent).
    std::function<void(int channel)> OverTimeMail;
    std::function<void()> SoftwareErrorMail;
    std::function<void()> HddFullMail;
    // The Alarms grid's model, brought up to date after each change of the table.
    TDatasetModel* Model = nullptr;
    // The length of a beep and of its pause (tests shorten them).
    int BeepHalfCycleMs = 500;

    void QueueHardwareAlarm();
    void QueueHddFullAlarm() override;
    void QueueOverTimeAlarm(int channel) override;
    // `slot`: the channel table's slot; the message quotes the software error text.
    void QueueSoftwareAlarm(int slot) override;
    void SendOverTimeMail(int channel) override;
    void SendSoftwareErrorMail() override;
    void SendHddFullMail() override;

    // Once a second: the queued alarms into the table, then the beep when none is running.
    void DrainAlarms();
    // "Stop alarm": the running beep ends after its beep and pause.
    void StopAlarm();
    // "Clear Messages": asked first; true when the table was emptied.
    bool ClearMessages();
    // Whether the table holds a record ("Clear Messages" is enabled when the view is shown).
    bool HasMessages() const;
    TAlarmBeep* CurrentAlarmBeep() const { return beep_; }

signals:
    // The running beep has ended (by itself or after "Stop alarm").
    void beepEnded();

private:
    void Queue(uint8_t type, const QString& message);

    TLiveSettings& settings_;
    TPelmGlobals& globals_;
    TChannelTable& channels_;
    TVolgaDataset& table_;
    TAlarmQueue& queue_;
    QPointer<TAlarmBeep> beep_;
    bool errorShown_ = false;
    bool unsaved_ = false;  // records posted but not yet written to the file
};
