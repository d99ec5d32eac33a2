#include "TAlarms.h"

#include <exception>

#include "IWaveOutput.h"
#include "SupervisionTexts.h"
#include "TAlarmQueue.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TDatasetModel.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TVolgaDataset.h"

TAlarms::TAlarms(TLiveSettings& settings, TPelmGlobals& globals, TChannelTable& channels,
                 TVolgaDataset& table, TAlarmQueue& queue, QObject* parent)
    : QObject(parent),
      settings_(settings),
      globals_(globals),
      channels_(channels),
      table_(table),
      queue_(queue) {
    queue_.SetEnabled(settings_.chkAudioAlarm);
}

TAlarms::~TAlarms() {
    delete beep_.data();
}

void TAlarms::Queue(uint8_t type, const QString& message) {
    queue_.SetEnabled(settings_.chkAudioAlarm);
    queue_.Add({NowDateTime(), type, message});
}

void TAlarms::QueueHardwareAlarm() {
    Queue(TAlarm::Hardware, SupervisionTexts::kHardwareAlarm);
}

void TAlarms::QueueHddFullAlarm() {
    Queue(TAlarm::HddFull, SupervisionTexts::kHddFullAlarm);
}

void TAlarms::QueueOverTimeAlarm(int channel) {
    Queue(TAlarm::OverTime, SupervisionTexts::kOverTimeAlarm + QString::number(channel));
}

void TAlarms::QueueSoftwareAlarm(int slot) {
    int number = slot;
    if (slot >= 0 && slot < TChannelTable::kCapacity) number = channels_[slot].Number;
    Queue(TAlarm::Software, SupervisionTexts::kSoftwareAlarm + globals_.SoftErrorText() +
                                SupervisionTexts::kOnChannel + QString::number(number));
}

void TAlarms::SendOverTimeMail(int channel) {
    if (OverTimeMail) OverTimeMail(channel);
}

void TAlarms::SendSoftwareErrorMail() {
    if (SoftwareErrorMail) SoftwareErrorMail();
}

void TAlarms::SendHddFullMail() {
    if (HddFullMail) HddFullMail();
}

void TAlarms::DrainAlarms() {
    // Thread alarms see the audio alarm's "Enable" of this second.
    queue_.SetEnabled(settings_.chkAudioAlarm);
    std::vector<TAlarm> alarms = queue_.TakeAll();
    if (alarms.empty() && !unsaved_) return;
    size_t posted = 0;
    QString error;
    if (Model) Model->BeginUpdate();
    try {
        for (; posted < alarms.size(); ++posted) {
            const TAlarm& a = alarms[posted];
            table_.Append();
            table_.FieldByName("Time").SetAsDateTime(a.Time);
            table_.FieldByName("Type").SetAsInteger(a.Type);
            table_.FieldByName("Msg").SetAsString(a.Msg.toStdString());
            table_.Post();
        }
        unsaved_ = true;
        table_.SaveChanges();
        unsaved_ = false;
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
        try {
            table_.Cancel();
        } catch (...) {
        }
    }
    if (Model) Model->EndUpdate();
    // What the table did not take waits for the next second; what it took in memory is written
    // with the next save.
    if (posted < alarms.size())
        queue_.PutBack(std::vector<TAlarm>(alarms.begin() + static_cast<std::ptrdiff_t>(posted),
                                           alarms.end()));
    if (!error.isEmpty()) {
        if (!errorShown_) ShowMessage(error);
        errorShown_ = true;
    } else {
        errorShown_ = false;
    }
    if (posted == 0 || beep_) return;
    auto* beep =
        new TAlarmBeep(MakeOutput ? MakeOutput() : nullptr, settings_.spnAlarmDuration, this);
    beep->HalfCycleMs = BeepHalfCycleMs;
    connect(beep, &TAlarmBeep::finished, this, [this, beep] {
        const bool current = beep_ == beep;
        beep->deleteLater();
        if (current) {
            beep_ = nullptr;
            emit beepEnded();
        }
    });
    beep_ = beep;
    beep->Start();
}

void TAlarms::StopAlarm() {
    if (!beep_) return;
    beep_->Stop();
    beep_ = nullptr;
}

bool TAlarms::ClearMessages() {
    if (TMessages::Instance().Choose(SupervisionTexts::kClearMessages,
                                     {SupervisionTexts::kYes, SupervisionTexts::kNo}) != 0)
        return false;
    if (Model) Model->BeginUpdate();
    try {
        table_.EmptyTable();
        table_.SaveChanges();
    } catch (const std::exception& e) {
        if (Model) Model->EndUpdate();
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    if (Model) Model->EndUpdate();
    return true;
}

bool TAlarms::HasMessages() const {
    return table_.Active() && table_.RecordCount() > 0;
}
