#include "TdmRecorder.h"

#include <QFile>
#include <QTimer>
#include <cmath>
#include <mutex>

#include "IAlarmCalls.h"
#include "IAudioRecorder.h"
#include "IMixer.h"
#include "RecordingTexts.h"
#include "TCallCompletion.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TSampleCallers.h"

TdmRecorder::TdmRecorder(TChannelTable& channels, TLiveSettings& settings, IAudioRecorder& micRec,
                         IMixer* mixer, TCallCompletion& completion, IAlarmCalls* alarms,
                         QObject* parent)
    : QObject(parent),
      Random(TSimRandom::FromClock()),
      channels_(channels),
      settings_(settings),
      micRec_(micRec),
      mixer_(mixer),
      completion_(completion),
      alarms_(alarms),
      timer1_(new QTimer(this)) {
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, &TdmRecorder::CallClockTick);
    // A capture that stops by itself (disk full, device gone) ends the call as Record does.
    micRec_.OnFailure = [this](const QString& reason) {
        LogGeneral(RecordingTexts::kCaptureStopped + reason);
        ShowMessage(reason);
        if (callActive_) {
            if (OnEndCall) OnEndCall();
            else RecordClick();
        }
    };
}

void TdmRecorder::SetCallActive(bool on) {
    callActive_ = on;
    if (OnCallStateChanged) OnCallStateChanged(on);
}

void TdmRecorder::RecordClick() {
    if (callActive_) {
        SetCallActive(false);
        StopCall();
        return;
    }
    bool any = false;
    for (int i = 0; i < channels_.Count() && !any; ++i)
        any = channels_[i].Operation && channels_.InSchedule(i);
    if (!any) {
        SetCallActive(false);  // the button springs back up
        return;
    }
    SetCallActive(true);
    StartCall();
}

void TdmRecorder::StartCall() {
    int channel = 0;
    // Only channels 0 and 1 can be drawn; one of them is in operation (RecordClick checked).
    for (int tries = 0;; ++tries) {
        channel = Random.Next() >= 0.5 ? 1 : 0;
        if (channel < channels_.Count() && channels_[channel].Operation) break;
        if (tries > 10000) return;  // no drawable channel in operation
    }
    CurrentChannel = channel;
    Tchannel& c = channels_[channel];
    if (Random.Next() >= 0.5) {
        c.InOut = 1;
        c.Dtmf = TSampleCallers::DialledNumbers[static_cast<size_t>(Random.Index())];
    } else {
        c.InOut = 0;
        int k = Random.Index();
        c.CallerId = TSampleCallers::CallerNumbers[static_cast<size_t>(k)];
        c.CallerName = TSampleCallers::CallerNames[static_cast<size_t>(k)];
    }
    {
        std::lock_guard<std::recursive_mutex> lock(*c.Lock);
        LogChannel(channel, RecordingTexts::kDemoStart);
    }
    BeginRecording(channel);
}

bool TdmRecorder::BeginRecording(int n) {
    Tchannel& c = channels_[n];
    if (mixer_) mixer_->SelectMicrophone();
    int item = settings_.cbxCompression;
    if (item >= 0 && item <= 4 && !micRec_.SetCodec(item)) micRec_.SetCodec(0);
    const QString temporary = completion_.TemporaryPath(n);
    if (QFile::exists(temporary)) QFile::remove(temporary);
    micRec_.SetFileName(temporary);
    micRec_.SetSaveToFile(true);
    Ticks = 0;
    timer1_->start();
    try {
        micRec_.Start();
    } catch (const std::exception& e) {
        // Nothing was recorded: take the call back so that the button, the tile and the next
        // call are not left half-running.
        timer1_->stop();
        if (mixer_) mixer_->RestoreRecordingInput();
        c.CallerId.clear();
        c.CallerName.clear();
        c.Dtmf.clear();
        c.Idle = true;
        SetCallActive(false);
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    c.StartTime = NowDateTime();
    c.Idle = false;
    std::lock_guard<std::recursive_mutex> lock(*c.Lock);
    LogChannel(n, RecordingTexts::kRecording);
    return true;
}

void TdmRecorder::StopCall() { EndRecording(CurrentChannel); }

void TdmRecorder::EndRecording(int n) {
    timer1_->stop();
    micRec_.Stop();
    if (mixer_) mixer_->RestoreRecordingInput();
    Tchannel& c = channels_[n];
    {
        std::lock_guard<std::recursive_mutex> lock(*c.Lock);
        LogChannel(n, RecordingTexts::kDemoStop);
    }
    c.StopTime = NowDateTime();
    completion_.CompleteCall(n);
}

void TdmRecorder::CallClockTick() {
    ++Ticks;
    CheckOvertime(CurrentChannel);
    if (Ticks == 81 && callActive_) {
        if (OnEndCall) OnEndCall();
        else RecordClick();
    }
}

bool TdmRecorder::CheckOvertime(int n) {
    Tchannel& c = channels_[n];
    if (c.Idle) return false;
    double elapsed = NowDateTime() - c.StartTime;
    long long totalMinutes = static_cast<long long>((elapsed - std::floor(elapsed)) * 1440.0 + 1e-9);
    if (totalMinutes < settings_.spnCallOvertime) return false;
    if (settings_.chkCalloverAl && alarms_) alarms_->QueueOverTimeAlarm(n);
    c.Operation = false;
    if (callActive_) {
        if (OnEndCall) OnEndCall();
        else RecordClick();
    }
    std::lock_guard<std::recursive_mutex> lock(*c.Lock);
    if (settings_.chkCalloverAl && alarms_) alarms_->SendOverTimeMail(n);
    return true;
}
