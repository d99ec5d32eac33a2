#include "TConfigStore.h"

#include <QDir>
#include <algorithm>
#include <limits>
#include <cmath>

#include "SupervisionTexts.h"
#include "SystemFormat.h"
#include "TChannelTable.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "TStartupRegistration.h"
#include "TVolgaTable.h"
#include "TVolumeSpace.h"
#include "Tchannel.h"

namespace {

// The SettingsIni keys with a plain control behind them. The others (the compression, the two
// folders, the capacity, the backup medium and start-up) have rules of their own below.
struct BoolKey {
    const char* Section;
    const char* Key;
    bool TLiveSettings::*Member;
    bool Default;
};
struct IntKey {
    const char* Section;
    const char* Key;
    int TLiveSettings::*Member;
    int Default, Min, Max;
};
struct StringKey {
    const char* Section;
    const char* Key;
    QString TLiveSettings::*Member;
    const char* Default;
};

using S = TLiveSettings;

const BoolKey kBoolKeys[] = {
    {"General", "PostByDate", &S::cbxPostByDate, true},
    {"General", "saveCallerName", &S::cbxSaveCallerName, true},
    {"General", "cbxTrimDigits", &S::cbxTrimDigits, false},
    {"General", "InFilter", &S::cbxInboundFilter, false},
    {"General", "outFilter", &S::cbxOutboundFilter, true},
    {"Alarms", "Hardware failure", &S::chkHardwareAl, true},
    {"Alarms", "HDD full", &S::chkHddFullAl, true},
    {"Alarms", "Call overtime", &S::chkCalloverAl, true},
    {"Alarms", "Software error", &S::chkSoftErrorAl, true},
    {"Alarms", "Thread failure", &S::chkThreadAl, true},
    {"Alarms", "AudioEnable", &S::chkAudioAlarm, true},
    {"Alarms", "smtpServerEnable", &S::chkSmtp, false},
    {"External tool", "ToolEnable", &S::cbExtTool, false},
    {"Backup", "RecycleHdd", &S::chkRecycleHdd, true},
    {"Backup", "backupDB", &S::chkBackupDb, true},
};

const IntKey kIntKeys[] = {
    {"General", "selectiveRec", &S::cbxRecordCalls, 2, 0, 3},
    {"General", "InFilterDuration", &S::spnInboundTime, 10, 0, 100},
    {"General", "outFilterDuration", &S::spnOutboundTime, 2, 0, 100},
    {"General", "Export Format", &S::rdExportFormat, 1, 0, 3},
    {"Alarms", "Call overtime value", &S::spnCallOvertime, 180, 1, 600},
    {"Alarms", "spnAlarmDuration", &S::spnAlarmDuration, 30, 10, 300},
    {"Backup", "backupCapacity", &S::speBackupCap, 100, 10, 100000},
    {"Backup", "backupDBperiod", &S::speBackupdb, 5, 1, 30},
};

const StringKey kStringKeys[] = {
    {"General", "onDemStart", &S::edtStart, "*1"},
    {"General", "onDemStop", &S::edtStop, "*2"},
    {"General", "TrimDigits", &S::edtTrimDigits, ""},
    {"Alarms", "smtpServer", &S::edtServerName, ""},
    {"Alarms", "smtpServerUserID", &S::edtSmtpUserID, ""},
    {"Alarms", "Recipient1", &S::edtRecipient1, ""},
    {"Alarms", "Recipient2", &S::edtRecipient2, ""},
    {"Alarms", "Recipient3", &S::edtRecipient3, ""},
    {"External tool", "caption", &S::edtToolCaption, ""},
    {"External tool", "comLine", &S::edtToolComline, ""},
    {"External tool", "Executable", &S::ToolExecutable, ""},
};

constexpr qint64 kReserveBytes = 104857600;  // 100 MB kept free below the capacity
constexpr qint64 kMb = 1048576;
constexpr int kUnknownCapacity = 1000;

QString WithSlash(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
    return folder;
}

double TimeOfDay(TDateTime v) { return std::fabs(v - std::trunc(v)); }

// A legacy time: a time of day, or a date-time of which only the time counts.
TDateTime ReadLegacyTime(const TIniFile& ini, const QString& section, const QString& key,
                         TDateTime def) {
    if (!ini.ValueExists(section, key)) return def;
    std::string text = ini.ReadString(section, key, QString()).trimmed().toStdString();
    TDateTime v = 0;
    const TVolgaFormatSettings& fmt = SystemFormat();
    if (fmt.ParseTime(text, v) || fmt.ParseDateTime(text, v)) return TimeOfDay(v);
    return def;
}

std::string DayField(int day, const char* what) {
    return "D" + std::to_string(day) + what;
}

void WriteReservedFields(TVolgaTable& t) {
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        t.FieldByName("Int" + n).SetAsInteger(0);
        t.FieldByName("Bool" + n).SetAsBoolean(false);
        t.FieldByName("st" + n).SetAsString(" ");
        t.FieldByName("real" + n).SetAsFloat(0);
    }
}

}  // namespace

TConfigStore::TConfigStore(TPelmGlobals& globals, TLiveSettings& settings,
                           TChannelTable& channels, TVolgaTable* channelsTable)
    : globals_(globals), settings_(settings), channels_(channels), table_(channelsTable) {}

// ---------------------------------------------------------------------------------------------
// Field rules

QString TConfigStore::FilterKeys(const QString& text) {
    static const QString allowed = "0123456789*#";
    QString out;
    for (QChar c : text)
        if (allowed.contains(c)) out += c;
    return out;
}

QString TConfigStore::CutTag(const QString& tag) { return tag.left(kTagLength); }

QString TConfigStore::DefaultSaveFolder() const { return globals_.AppDataDir + "/wav/"; }
QString TConfigStore::DefaultBackupFolder() const { return globals_.AppDataDir + "/backup/"; }

QString TConfigStore::StoredSaveFolder() const {
    return WithSlash(globals_.SettingsIni.ReadString("General", "SaveFolder", DefaultSaveFolder()));
}

// ---------------------------------------------------------------------------------------------
// Storage figures

int TConfigStore::UsedMb() const { return globals_.UsedSpaceKb.load() / 1024; }

int TConfigStore::CapacityMaximum(const QString& folder) {
    const qint64 free = TVolumeSpace::Instance().FreeBytes(folder);
    if (free < 0) return 0;
    const qint64 mb = (free - kReserveBytes) / kMb;
    return static_cast<int>(std::clamp<qint64>(mb, 0, std::numeric_limits<int>::max()));
}

int TConfigStore::ClimbCapacity(int capacity, int usedMb, int maximum) {
    while (capacity - usedMb < 1) {
        const int next = std::min(capacity + 100, maximum);
        if (next <= capacity) break;
        capacity = next;
    }
    return capacity;
}

// ---------------------------------------------------------------------------------------------
// Channel records

bool TConfigStore::TableUsable() const { return table_ && table_->Active(); }

bool TConfigStore::LocateChannel(int number) const {
    return TableUsable() && table_->Locate("Channel", TVolgaValue(number));
}

void TConfigStore::SetChannelDefaults(Tchannel& c, int number) {
    c.Number = number;
    c.Operation = true;
    c.Tag = "#" + QString::number(number);
    c.Trigger = 1;
    c.LevelOn = 16;
    c.RunOn = 2000;
    c.RecordingGain = 0;
    c.PlayGain = 0;
    c.DtrmVoltage = 26;
    c.Agc = false;
    for (int d = 1; d <= 7; ++d) c.Schedule[static_cast<size_t>(d)] = TScheduleDay{};
}

void TConfigStore::RecordToChannel(TVolgaTable& t, Tchannel& c) {
    c.Operation = t.FieldByName("Operation").AsBoolean();
    c.Tag = CutTag(QString::fromStdString(t.FieldByName("Tag").AsString()));
    c.Trigger = static_cast<uint8_t>(std::clamp<int64_t>(t.FieldByName("Trigger").AsInteger(), 0, 2));
    c.LevelOn = static_cast<int32_t>(t.FieldByName("LevelOn").AsInteger());
    c.RunOn = static_cast<int32_t>(t.FieldByName("RunOn").AsInteger());
    c.RecordingGain = static_cast<int32_t>(t.FieldByName("RecordingGain").AsInteger());
    c.PlayGain = static_cast<int32_t>(t.FieldByName("PlayGain").AsInteger());
    c.DtrmVoltage = static_cast<int32_t>(t.FieldByName("DtrmVoltage").AsInteger());
    c.Agc = t.FieldByName("AGC").AsBoolean();
    for (int d = 1; d <= 7; ++d) {
        TScheduleDay& day = c.Schedule[static_cast<size_t>(d)];
        day.En = t.FieldByName(DayField(d, "En")).AsBoolean();
        day.Start = TimeOfDay(t.FieldByName(DayField(d, "Start")).AsDateTime());
        day.Stop = TimeOfDay(t.FieldByName(DayField(d, "Stop")).AsDateTime());
        day.FullTime = t.FieldByName(DayField(d, "FullTime")).AsBoolean();
    }
}

void TConfigStore::ChannelToRecord(const Tchannel& c, TVolgaTable& t) {
    t.FieldByName("Operation").SetAsBoolean(c.Operation);
    t.FieldByName("Tag").SetAsString(c.Tag.toStdString());
    t.FieldByName("Trigger").SetAsInteger(c.Trigger);
    t.FieldByName("LevelOn").SetAsInteger(c.LevelOn);
    t.FieldByName("RunOn").SetAsInteger(c.RunOn);
    t.FieldByName("RecordingGain").SetAsInteger(c.RecordingGain);
    t.FieldByName("PlayGain").SetAsInteger(c.PlayGain);
    t.FieldByName("DtrmVoltage").SetAsInteger(c.DtrmVoltage);
    t.FieldByName("AGC").SetAsBoolean(c.Agc);
    for (int d = 1; d <= 7; ++d) {
        const TScheduleDay& day = c.Schedule[static_cast<size_t>(d)];
        t.FieldByName(DayField(d, "En")).SetAsBoolean(day.En);
        t.FieldByName(DayField(d, "Start")).SetAsDateTime(TimeOfDay(day.Start));
        t.FieldByName(DayField(d, "Stop")).SetAsDateTime(TimeOfDay(day.Stop));
        t.FieldByName(DayField(d, "FullTime")).SetAsBoolean(day.FullTime);
    }
    WriteReservedFields(t);
}

void TConfigStore::ImportLegacyChannelSections() {
    TIniFile& ini = globals_.SettingsIni;
    if (!ini.SectionExists("Channel 0")) return;
    ini.BeginUpdate();
    bool appended = false;
    for (int i = 0; i < channels_.Count(); ++i) {
        const QString section = "channel " + QString::number(i);
        // A channel the table already holds keeps its record: the table is the newer layout.
        if (TableUsable() && !LocateChannel(i)) {
            Tchannel c;
            SetChannelDefaults(c, i);
            c.Operation = ini.ReadBool(section, "Operation", false);
            c.Trigger = static_cast<uint8_t>(std::clamp(ini.ReadInteger(section, "Trigger", 1), 0, 2));
            c.LevelOn = ini.ReadInteger(section, "Level on", 16);
            c.RunOn = ini.ReadInteger(section, "Run on", 5000);
            c.RecordingGain = ini.ReadInteger(section, "Recording gain", 0);
            c.PlayGain = ini.ReadInteger(section, "Play gain", 0);
            c.DtrmVoltage = ini.ReadInteger(section, "Dtrm Voltage", 26);
            c.Agc = ini.ReadBool(section, "AGC", false);
            for (int d = 1; d <= 7; ++d) {
                TScheduleDay& day = c.Schedule[static_cast<size_t>(d)];
                const QString n = QString::number(d);
                day.En = ini.ReadBool(section, n, true);
                day.Start = ReadLegacyTime(ini, section, n + "start", 9.0 / 24.0);
                day.Stop = ReadLegacyTime(ini, section, n + "stop", 17.0 / 24.0);
                day.FullTime = ini.ReadBool(section, n + "FullTime", true);
            }
            table_->Append();
            table_->FieldByName("Channel").SetAsInteger(i);
            ChannelToRecord(c, *table_);
            table_->Post();
            appended = true;
        }
        ini.EraseSection(section);
    }
    ini.EndUpdate();
    if (appended) table_->SaveChanges();
}

void TConfigStore::LoadChannels() {
    bool appended = false;
    for (int i = 0; i < channels_.Count(); ++i) {
        Tchannel& c = channels_[i];
        if (LocateChannel(i)) {
            RecordToChannel(*table_, c);
            continue;
        }
        SetChannelDefaults(c, i);
        if (!TableUsable()) continue;
        table_->Append();
        table_->FieldByName("Channel").SetAsInteger(i);
        ChannelToRecord(c, *table_);
        table_->Post();
        appended = true;
    }
    if (appended) table_->SaveChanges();
}

// ---------------------------------------------------------------------------------------------
// Settings

void TConfigStore::ApplyCompressionTag(int tag) {
    settings_.CompressionTag = tag;
    const int item = TLiveSettings::ItemOfCompressionTag(tag);
    if (item >= 0) settings_.cbxCompression = item;  // an unknown tag leaves the item as it was
}

void TConfigStore::ReadIntoSettings(bool writeMissing) {
    TIniFile& ini = globals_.SettingsIni;
    auto missing = [&](const char* section, const char* key) {
        return writeMissing && !ini.ValueExists(section, key);
    };
    for (const BoolKey& k : kBoolKeys) {
        if (missing(k.Section, k.Key)) ini.WriteBool(k.Section, k.Key, k.Default);
        settings_.*k.Member = ini.ReadBool(k.Section, k.Key, k.Default);
    }
    for (const IntKey& k : kIntKeys) {
        if (missing(k.Section, k.Key)) ini.WriteInteger(k.Section, k.Key, k.Default);
        settings_.*k.Member = std::clamp(ini.ReadInteger(k.Section, k.Key, k.Default), k.Min, k.Max);
    }
    for (const StringKey& k : kStringKeys) {
        if (missing(k.Section, k.Key)) ini.WriteString(k.Section, k.Key, k.Default);
        settings_.*k.Member = ini.ReadString(k.Section, k.Key, k.Default);
    }
    if (!settings_.cbxTrimDigits) settings_.edtTrimDigits.clear();

    // The recordings and backup folders: written and created when their keys are missing; a
    // stored folder that has gone is made again, so that recording can go on.
    if (missing("General", "SaveFolder")) ini.WriteString("General", "SaveFolder", DefaultSaveFolder());
    settings_.edtFolder = StoredSaveFolder();
    if (missing("Backup", "backupFolder"))
        ini.WriteString("Backup", "backupFolder", DefaultBackupFolder());
    settings_.edtbackupFolder =
        WithSlash(ini.ReadString("Backup", "backupFolder", DefaultBackupFolder()));
    if (writeMissing) {
        TPelmGlobals::MakePrivateDir(settings_.edtFolder);
        TPelmGlobals::MakePrivateDir(settings_.edtbackupFolder);
    }

    if (missing("Backup", "BackupDevice")) ini.WriteInteger("Backup", "BackupDevice", 0);
    settings_.cbxDrive1 = std::max(0, ini.ReadInteger("Backup", "BackupDevice", 0));

    // The capacity: the free space of the recordings volume less 100 MB when missing. A stored
    // value is taken as it is (only a negative one becomes 0), so that a fuller disk never
    // lowers it behind the user's back.
    if (missing("General", "StorageCapacity")) {
        const qint64 free = TVolumeSpace::Instance().FreeBytes(settings_.edtFolder);
        const int capacity = free < 0 ? kUnknownCapacity : CapacityMaximum(settings_.edtFolder);
        ini.WriteInteger("General", "StorageCapacity", capacity);
    }
    const int fallback = writeMissing ? kUnknownCapacity : CapacityMaximum(settings_.edtFolder);
    settings_.speMainStorageCap = std::max(0, ini.ReadInteger("General", "StorageCapacity", fallback));

    if (missing("General", "StartUp")) {
        ini.WriteBool("General", "StartUp", true);
        RegisterStartup(true);
    }
    settings_.cbxStartup = ini.ReadBool("General", "StartUp", true);
}

void TConfigStore::ReadSettings() { ReadIntoSettings(false); }

void TConfigStore::RegisterStartup(bool on) {
    QString error;
    TStartupRegistration& reg = TStartupRegistration::Instance();
    if (on) {
        if (reg.Register(&error)) LogGeneral(SupervisionTexts::kProgramOnStartup);
        else LogGeneral(SupervisionTexts::kStartupNotRegistered + error);
    } else {
        if (reg.Unregister(&error)) LogGeneral(SupervisionTexts::kProgramRemovedFromStartup);
        else LogGeneral(SupervisionTexts::kStartupNotRemoved + error);
    }
}

// ---------------------------------------------------------------------------------------------
// Passwords

QString TConfigStore::Decipher(const QString& cipherText, const char* unreadableText) const {
    try {
        return crypt1.DecryptText(cipherText);
    } catch (const ECipherError& e) {
        LogGeneral(unreadableText + QString::fromUtf8(e.what()));
        throw;
    }
}

void TConfigStore::LoadPassword(const char* flagKey, const char* cipherKey, QString& password,
                                bool& checkBox, const char* unreadableText) {
    TIniFile& reg = globals_.SettingsRegistry;
    password.clear();
    checkBox = false;
    if (!reg.ValueExists("General", flagKey)) {
        reg.WriteString("General", cipherKey, crypt1.EncryptText(QString()));
        reg.WriteBool("General", flagKey, false);
        return;
    }
    if (!reg.ReadBool("General", flagKey, false)) return;
    try {
        password = Decipher(reg.ReadString("General", cipherKey, QString()), unreadableText);
        checkBox = true;
    } catch (const ECipherError&) {
        // A password nobody can type any more would lock the user out: it is off from now on.
        reg.WriteString("General", cipherKey, crypt1.EncryptText(QString()));
        reg.WriteBool("General", flagKey, false);
    }
}

void TConfigStore::LoadPasswords() {
    globals_.SettingsRegistry.BeginUpdate();
    LoadPassword("delato", "feroto", AdminPassword, settings_.cbxAdminPass,
                 SupervisionTexts::kAdminPasswordUnreadable);
    LoadPassword("zilota", "adida", AccessPassword, settings_.cbxAccessPass,
                 SupervisionTexts::kAccessPasswordUnreadable);
    globals_.SettingsRegistry.EndUpdate();
}

void TConfigStore::ReadPasswordFlags() {
    settings_.cbxAdminPass = globals_.SettingsRegistry.ReadBool("General", "delato", false);
    settings_.cbxAccessPass = globals_.SettingsRegistry.ReadBool("General", "zilota", false);
}

// ---------------------------------------------------------------------------------------------
// Load, show, commit, revert

QPoint TConfigStore::DialogPosition() const {
    const TIniFile& ini = globals_.SettingsIni;
    return QPoint(ini.ReadInteger("General", "ConfigLeft", 437),
                  ini.ReadInteger("General", "ConfigTop", 231));
}

void TConfigStore::SaveDialogPosition(const QPoint& topLeft) {
    TIniFile& ini = globals_.SettingsIni;
    ini.BeginUpdate();
    ini.WriteInteger("General", "ConfigTop", topLeft.y());
    ini.WriteInteger("General", "ConfigLeft", topLeft.x());
    ini.EndUpdate();
}

void TConfigStore::Load() {
    crypt1.GenerateBuiltInKey();
    ImportLegacyChannelSections();
    LoadChannels();
    TIniFile& ini = globals_.SettingsIni;
    ini.BeginUpdate();
    if (!ini.ValueExists("General", "Compression")) ini.WriteInteger("General", "Compression", 6);
    ApplyCompressionTag(ini.ReadInteger("General", "Compression", 6));
    ReadIntoSettings(true);
    ini.EndUpdate();
    LoadPasswords();
}

void TConfigStore::PrepareShow() {
    for (int i = 0; i < channels_.Count(); ++i) {
        Tchannel& c = channels_[i];
        c.OperationEdit = c.Operation;
        c.ScheduleEdit = c.Schedule;
    }
    ReadSettings();
    ReadPasswordFlags();
}

bool TConfigStore::Commit(QString* error) {
    // 1. Channels.
    for (int i = 0; i < channels_.Count(); ++i) {
        Tchannel& c = channels_[i];
        c.Operation = c.OperationEdit;
        c.Schedule = c.ScheduleEdit;
        if (!TableUsable()) continue;
        // Found by its channel number, so that a table whose records are out of order never
        // gets one channel's settings written into another's record.
        if (LocateChannel(i)) {
            table_->Edit();
        } else {
            table_->Append();
            table_->FieldByName("Channel").SetAsInteger(i);
        }
        ChannelToRecord(c, *table_);
        table_->Post();
    }
    if (TableUsable()) table_->SaveChanges();

    TIniFile& ini = globals_.SettingsIni;
    TLiveSettings& s = settings_;
    ini.BeginUpdate();
    // 2-3. Compression, calls recorded, capacity, folder.
    ApplyCompressionTag(TLiveSettings::CompressionTagOf(s.cbxCompression));
    ini.WriteInteger("General", "Compression", s.CompressionTag);

    // 5. An emptied key field keeps the stored key (and shows it again).
    s.edtStart = s.edtStart.trimmed();
    s.edtStop = s.edtStop.trimmed();
    if (s.edtStart.isEmpty()) s.edtStart = ini.ReadString("General", "onDemStart", "*1");
    if (s.edtStop.isEmpty()) s.edtStop = ini.ReadString("General", "onDemStop", "*2");
    // 6. Start-up registration follows the box.
    const bool stored = ini.ReadBool("General", "StartUp", true);
    if (s.cbxStartup && !stored) RegisterStartup(true);
    if (!s.cbxStartup && stored) RegisterStartup(false);
    ini.WriteBool("General", "StartUp", s.cbxStartup);
    // 7. Trimming.
    if (!s.cbxTrimDigits) s.edtTrimDigits.clear();

    for (const BoolKey& k : kBoolKeys) ini.WriteBool(k.Section, k.Key, s.*k.Member);
    for (const IntKey& k : kIntKeys) ini.WriteInteger(k.Section, k.Key, s.*k.Member);
    for (const StringKey& k : kStringKeys) ini.WriteString(k.Section, k.Key, s.*k.Member);
    ini.WriteInteger("General", "StorageCapacity", std::max(0, s.speMainStorageCap));
    s.edtFolder = WithSlash(s.edtFolder);
    ini.WriteString("General", "SaveFolder", s.edtFolder);
    s.edtbackupFolder = WithSlash(s.edtbackupFolder);
    ini.WriteString("Backup", "backupFolder", s.edtbackupFolder);
    ini.WriteInteger("Backup", "BackupDevice", s.cbxDrive1);
    bool ok = ini.EndUpdate();
    QString iniError = ini.LastError();

    // 4. Passwords.
    TIniFile& reg = globals_.SettingsRegistry;
    reg.BeginUpdate();
    reg.WriteString("General", "feroto", crypt1.EncryptText(s.cbxAdminPass ? AdminPassword : QString()));
    reg.WriteBool("General", "delato", s.cbxAdminPass);
    reg.WriteString("General", "adida", crypt1.EncryptText(s.cbxAccessPass ? AccessPassword : QString()));
    reg.WriteBool("General", "zilota", s.cbxAccessPass);
    if (!reg.EndUpdate()) {
        if (ok) iniError = reg.LastError();
        ok = false;
    }
    if (!ok && error) *error = iniError;
    return ok;
}

void TConfigStore::Revert() {
    for (int i = 0; i < channels_.Count(); ++i)
        if (LocateChannel(i)) RecordToChannel(*table_, channels_[i]);
    TIniFile& ini = globals_.SettingsIni;
    ApplyCompressionTag(ini.ReadInteger("General", "Compression", 6));
    const TIniFile& reg = globals_.SettingsRegistry;
    auto stored = [&](const char* key, const char* unreadable) {
        try {
            return Decipher(reg.ReadString("General", key, QString()), unreadable);
        } catch (const ECipherError&) {
            return QString();
        }
    };
    AdminPassword = stored("feroto", SupervisionTexts::kAdminPasswordUnreadable);
    AccessPassword = stored("adida", SupervisionTexts::kAccessPasswordUnreadable);
    ReadSettings();
    ReadPasswordFlags();
}
