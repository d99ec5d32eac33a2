#include "TCallCompletion.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <mutex>

#include "IAlarmCalls.h"
#include "ICallFiling.h"
#include "IStorageRuns.h"
#include "RecordingTexts.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TFileOps.h"
#include "TFilteredNumbers.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"

TCallCompletion::TCallCompletion(TChannelTable& channels, TLiveSettings& settings,
                                 TPelmGlobals& globals, ICallFiling& db, TFilteredNumbers* filtered,
                                 IAlarmCalls* alarms, IStorageRuns* storage)
    : channels_(channels),
      settings_(settings),
      globals_(globals),
      db_(db),
      filtered_(filtered),
      alarms_(alarms),
      storage_(storage) {}

QString TCallCompletion::TemporaryPath(int n) const {
    return settings_.edtFolder + QString::number(n) + "_recording.wav";
}

QString TCallCompletion::BaseName(int n, TDateTime start) {
    QDateTime dt = FromDateTime(start);
    return QString::number(n) + "_" + dt.toString("yyyyMMdd") + "_" + dt.toString("HHmmss");
}

QString TCallCompletion::Extension() const {
    return settings_.cbxCompression == 4 ? ".mp3" : ".wav";
}

int TCallCompletion::CallLength(TDateTime start, TDateTime stop) {
    double d = stop - start;
    if (!std::isfinite(d)) return -1;
    double frac = d - std::floor(d);  // the time of day of the difference
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 0;
    return static_cast<int>(ms / 1000);
}

bool TCallCompletion::Keeps(const Tchannel& c) const {
    bool drop = false;
    const int mode = settings_.cbxRecordCalls;
    if (mode == 0 && c.InOut == 1) drop = true;
    if (mode == 1 && c.InOut == 0) drop = true;
    const int length = CallLength(c.StartTime, c.StopTime);
    if (!drop && c.InOut == 0) {
        if (settings_.cbxInboundFilter && length <= settings_.spnInboundTime) drop = true;
        std::lock_guard<std::recursive_mutex> lock(*c.Lock);
        if (!drop && filtered_ && filtered_->IsFiltered(c.CallerId, 0)) drop = true;
    } else if (!drop && c.InOut == 1) {
        if (settings_.cbxOutboundFilter && length <= settings_.spnOutboundTime) drop = true;
        std::lock_guard<std::recursive_mutex> lock(*c.Lock);
        if (!drop && filtered_ && filtered_->IsFiltered(c.Dtmf, 1)) drop = true;
    }
    return !drop;
}

void TCallCompletion::CompleteCall(int n) {
    Tchannel& c = channels_[n];
    const bool drop = !Keeps(c);
    const int mode = settings_.cbxRecordCalls;
    try {
        if (drop) {
            if (mode != 3) RejectCall(n);
        } else {
            FileCall(n);
        }
    } catch (const std::exception& e) {
        // The call could not be filed (the calls table cannot be written, say): the user is
        // told, the temporary file stays, and the channel is still made ready for the next
        // call.
        ShowMessage(QString::fromUtf8(e.what()));
    }
    channels_.ResetChannel(n);
}

void TCallCompletion::RejectCall(int n) {
    const QString path = TemporaryPath(n);
    bool removed = QFile::remove(path);
    std::lock_guard<std::recursive_mutex> lock(*channels_[n].Lock);
    if (removed)
        LogChannel(n, RecordingTexts::kRejected);
    else
        LogChannel(n, RecordingTexts::kCanNotDelete + path);
}

void TCallCompletion::FileCall(int n) {
    Tchannel copy = channels_[n];
    const QString ext = Extension();
    const QString temporary = TemporaryPath(n);
    const QString base = BaseName(n, copy.StartTime);
    const QString final = settings_.edtFolder + base + ext;
    if (settings_.cbxRecordCalls != 3 && QFileInfo(temporary).size() == 0 &&
        QFileInfo(temporary).isFile()) {
        // Nothing was recorded (the capture could not write a byte: a full disk, say). The
        // call is filed without a recording rather than as an empty file.
        QFile::remove(temporary);
        copy.FileName.clear();
        std::lock_guard<std::recursive_mutex> lock(*copy.Lock);
        LogChannel(n, RecordingTexts::kNoAudio);
    } else if (settings_.cbxRecordCalls != 3) {
        if (!TFileOps::RenameNoReplace(temporary, final)) {
            globals_.SetSoftErrorText(RecordingTexts::kRenameFailed);
            {
                std::lock_guard<std::recursive_mutex> lock(*copy.Lock);
                LogGeneral(RecordingTexts::kRenameFailed);
                if (settings_.chkSoftErrorAl && alarms_) {
                    alarms_->QueueSoftwareAlarm(n);
                    alarms_->SendSoftwareErrorMail();
                }
            }
            channels_.ResetChannel(n);
            channels_[n].Operation = false;
            return;
        }
        copy.FileName = base + ext;
    } else {
        copy.FileName.clear();
    }
    if (copy.InOut == 0)
        copy.Dtmf.clear();
    else
        copy.CallerName.clear();
    {
        std::lock_guard<std::recursive_mutex> lock(*copy.Lock);
        db_.AddCall(copy);
    }
    const double limit = static_cast<double>(settings_.speMainStorageCap) * 0.98 * 1024.0;
    if (static_cast<double>(globals_.UsedSpaceKb.load()) >= limit && storage_) {
        if (settings_.chkRecycleHdd) {
            if (!storage_->RecycleRunning()) {
                storage_->StartRecycleRun();
                if (alarms_) {
                    alarms_->QueueHddFullAlarm();
                    alarms_->SendHddFullMail();
                }
            }
        } else if (!storage_->BackupRunning()) {
            storage_->StartBackupRun();
            if (alarms_) {
                alarms_->QueueHddFullAlarm();
                alarms_->SendHddFullMail();
            }
        }
    }
}
