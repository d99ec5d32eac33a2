// One editing session of the configuration: the values being edited and the rules of the
// pages. The channels' operation and weekly schedule are edited in working copies (OK puts
// them in force, Cancel drops them); every other setting is edited in the live settings at
// once (OK stores it, Cancel reads the stores again). The session also holds the rules that
// need no window: which fields a check box enables, the ranges of the numeric fields, the
// on-demand keys' characters, the storage capacity's climb, and switching a password on
// (which asks for the new password through AskNewPassword). The configuration window only
// shows this state and forwards the user's edits. Main thread only.
#pragma once

#include <QString>
#include <QTime>
#include <functional>

#include "TConfigStore.h"
#include "TLiveSettings.h"
#include "Tchannel.h"

class TConfigSession {
public:
    // The numeric fields' ranges, as the pages offer them.
    struct TRange {
        int Min, Max, Step;
        int Clamp(qint64 v) const;
    };
    static constexpr TRange kLevelOn{0, 31, 1};
    static constexpr TRange kRunOn{1000, 100000, 500};
    static constexpr TRange kGain{-6, 6, 1};  // recording and play gain
    static constexpr TRange kDtrmVoltage{1, 80, 1};
    static constexpr TRange kCallOvertime{1, 600, 1};
    static constexpr TRange kAlarmDuration{10, 300, 1};
    static constexpr TRange kBackupCapacity{10, 100000, 1};
    static constexpr TRange kFilterDuration{0, 100, 1};
    static constexpr TRange kBackupPeriod{1, 30, 1};

    enum PasswordKind { Administrator = 1, Access = 2 };

    // `channelsTable` may be null or closed, as for the store.
    TConfigSession(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
                   TVolgaTable* channelsTable);

    TConfigStore& Store() { return store_; }
    TLiveSettings& Settings() { return settings_; }
    const TLiveSettings& Settings() const { return settings_; }

    // Asks the user for a new password of `kind` (stored in the store's AdminPassword or
    // AccessPassword); false when nobody can ask, and the password then stays off.
    std::function<bool(PasswordKind kind)> AskNewPassword;

    // Lifecycle: the start-up load; each show (working copies from the values in force, the
    // settings read again); OK (true, or false with `error` when a settings file could not be
    // written; table errors are thrown); Cancel (everything back from the stores).
    void Load();
    void Begin();
    bool Ok(QString* error = nullptr);
    void Cancel();

    // Channels page: the channel being edited and its settings.
    int ChannelCount() const;
    QString ChannelItem(int index) const;  // "channel N"
    int SelectedChannel() const { return channel_; }
    void SelectChannel(int index);
    const Tchannel* Channel() const;  // null when none is selected
    bool OperationOn() const;         // the working copy of the operation
    bool StartEnabled() const { return Channel() && !OperationOn(); }
    bool StopEnabled() const { return Channel() && OperationOn(); }
    void StartChannel();
    void StopChannel();
    // Line settings are live at once (OK stores them, Cancel reads them back).
    void SetTag(const QString& tag);  // cut to 24 characters
    void SetTrigger(int trigger);     // 0 Vox, 1 Voltage, 2 On demand
    void SetLevelOn(int v);
    void SetRunOn(int v);
    void SetRecordingGain(int v);
    void SetPlayGain(int v);
    void SetDtrmVoltage(int v);
    void SetAgc(bool on);
    // What to tell the user who left a field with `typed` outside its range (the field falls
    // back to the nearest limit); empty when the value was inside.
    static QString RunOnRangeMessage(qint64 typed);
    static QString GainRangeMessage(qint64 typed);

    // Schedule page: the channel whose working copy is shown, and its days (1 Sunday ..
    // 7 Saturday). Edits go into the working copy only.
    int SelectedScheduleChannel() const { return scheduleChannel_; }
    void SelectScheduleChannel(int index);
    const TScheduleDay& Day(int d) const;
    QTime DayStart(int d) const;
    QTime DayStop(int d) const;
    void SetDayEnabled(int d, bool on);
    void SetFullDay(int d, bool on);
    void SetDayStart(int d, const QTime& t);
    void SetDayStop(int d, const QTime& t);
    // "24 hours" is offered on an enabled day; the times on an enabled day that is not whole.
    bool FullDayEnabled(int d) const { return Day(d).En; }
    bool DayTimesEnabled(int d) const { return Day(d).En && !Day(d).FullTime; }

    // General settings page.
    void SetCompressionItem(int item);  // the compression in force at once
    static QString FilterKeys(const QString& text) { return TConfigStore::FilterKeys(text); }
    void SetStartKey(const QString& text);  // only "0123456789*#" kept
    void SetStopKey(const QString& text);
    void SetTrimDigits(bool on);  // off clears the digits
    bool TrimDigitsEnabled() const { return settings_.cbxTrimDigits; }
    void SetExternalTool(bool on);
    bool ToolFieldsEnabled() const { return settings_.cbExtTool; }
    QString ExecutableStart() const;             // where the program picker opens
    QString ExecutableName() const;              // the file name the page shows
    void ChooseExecutable(const QString& path);  // empty: the picker was cancelled

    // Alarms page.
    void SetMail(bool on);
    bool MailFieldsEnabled() const { return settings_.chkSmtp; }

    // Medium management page.
    void SetRecycleHdd(bool on);
    bool BackupFieldsEnabled() const { return !settings_.chkRecycleHdd; }
    QString BackupFolderStart() const;
    void ChooseBackupFolder(const QString& folder);  // empty: cancelled

    // Storage page. The capacity field runs from 0 to CapacityLimit(): the free space of the
    // recordings volume less 100 MB, or the capacity when that is higher (a fuller disk never
    // lowers the capacity behind the user's back).
    QString SaveFolderStart() const;
    void ChooseSaveFolder(const QString& folder);  // empty: cancelled; re-measures the volume
    int Capacity() const;
    int CapacityLimit() const { return capacityLimit_; }
    // Sets the capacity, raised in steps of 100 while less than 1 MB would be free.
    void SetCapacity(int mb);
    int UsedMb() const { return store_.UsedMb(); }
    int FreeMb() const { return Capacity() - UsedMb(); }

    // Filters page.
    void SetInboundFilter(bool on);
    void SetOutboundFilter(bool on);
    bool InboundTimeEnabled() const { return settings_.cbxInboundFilter; }
    bool OutboundTimeEnabled() const { return settings_.cbxOutboundFilter; }

    // Security page. Switching a password on asks for the new one first; off asks nothing.
    bool PasswordOn(PasswordKind kind) const;
    bool ChangeEnabled(PasswordKind kind) const { return PasswordOn(kind); }
    void SetPasswordOn(PasswordKind kind, bool on);
    void ChangePassword(PasswordKind kind);  // only while the password is on
    void SetBackupDb(bool on);
    bool BackupPeriodEnabled() const { return settings_.chkBackupDb; }

    // The plain settings (no rule behind them), written at once.
    void SetFlag(bool TLiveSettings::*member, bool on) { settings_.*member = on; }
    void SetNumber(int TLiveSettings::*member, int v) { settings_.*member = v; }
    void SetText(QString TLiveSettings::*member, const QString& t) { settings_.*member = t; }

private:
    Tchannel* Edited();
    TScheduleDay& EditedDay(int d);
    void MeasureCapacity(const QString& folder);
    static QString AsFolder(const QString& picked);

    TConfigStore store_;
    TLiveSettings& settings_;
    TChannelTable& channels_;
    int channel_ = -1;
    int scheduleChannel_ = -1;
    TWeekSchedule unselected_{};  // the schedule page's days while no channel is selected
    int capacityLimit_ = 0;
};
