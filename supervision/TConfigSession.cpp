#include "TConfigSession.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "SupervisionTexts.h"
#include "TChannelTable.h"
#include "TLiveSettings.h"

namespace T = SupervisionTexts;

namespace {

QTime TimeOf(TDateTime v) {
    const double frac = std::fabs(v - std::trunc(v));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

TDateTime DateTimeOf(const QTime& t) {
    return t.msecsSinceStartOfDay() / 86400000.0;
}

size_t DayIndex(int d) {
    return static_cast<size_t>(std::clamp(d, 1, 7));
}

}  // namespace

int TConfigSession::TRange::Clamp(qint64 v) const {
    return static_cast<int>(std::clamp<qint64>(v, Min, Max));
}

TConfigSession::TConfigSession(TPelmGlobals& globals, TLiveSettings& settings,
                               TChannelTable& channels, TVolgaTable* channelsTable)
    : store_(globals, settings, channels, channelsTable),
      settings_(settings),
      channels_(channels) {}

// ---------------------------------------------------------------------------------------------
// Lifecycle

void TConfigSession::Load() {
    store_.Load();
    channel_ = channels_.Count() > 0 ? 0 : -1;
    scheduleChannel_ = channel_;
    MeasureCapacity(store_.StoredSaveFolder());
}

void TConfigSession::Begin() {
    store_.PrepareShow();
    MeasureCapacity(store_.StoredSaveFolder());
}

bool TConfigSession::Ok(QString* error) {
    const bool ok = store_.Commit(error);
    MeasureCapacity(store_.StoredSaveFolder());
    return ok;
}

void TConfigSession::Cancel() {
    store_.Revert();
}

// ---------------------------------------------------------------------------------------------
// Channels

int TConfigSession::ChannelCount() const {
    return channels_.Count();
}

QString TConfigSession::ChannelItem(int index) const {
    return T::kChannelItem + QString::number(channels_[index].Number);
}

void TConfigSession::SelectChannel(int index) {
    channel_ = index >= 0 && index < channels_.Count() ? index : -1;
}

const Tchannel* TConfigSession::Channel() const {
    return channel_ >= 0 && channel_ < channels_.Count() ? &channels_[channel_] : nullptr;
}

Tchannel* TConfigSession::Edited() {
    return const_cast<Tchannel*>(Channel());
}

bool TConfigSession::OperationOn() const {
    const Tchannel* c = Channel();
    return c && c->OperationEdit;
}

void TConfigSession::StartChannel() {
    if (Tchannel* c = Edited()) {
        c->OperationEdit = true;
        c->Idle = true;
    }
}

void TConfigSession::StopChannel() {
    if (Tchannel* c = Edited()) c->OperationEdit = false;
}

void TConfigSession::SetTag(const QString& tag) {
    if (Tchannel* c = Edited()) c->Tag = TConfigStore::CutTag(tag);
}

void TConfigSession::SetTrigger(int trigger) {
    if (Tchannel* c = Edited()) c->Trigger = static_cast<uint8_t>(std::clamp(trigger, 0, 2));
}

void TConfigSession::SetLevelOn(int v) {
    if (Tchannel* c = Edited()) c->LevelOn = kLevelOn.Clamp(v);
}

void TConfigSession::SetRunOn(int v) {
    if (Tchannel* c = Edited()) c->RunOn = kRunOn.Clamp(v);
}

void TConfigSession::SetRecordingGain(int v) {
    if (Tchannel* c = Edited()) c->RecordingGain = kGain.Clamp(v);
}

void TConfigSession::SetPlayGain(int v) {
    if (Tchannel* c = Edited()) c->PlayGain = kGain.Clamp(v);
}

void TConfigSession::SetDtrmVoltage(int v) {
    if (Tchannel* c = Edited()) c->DtrmVoltage = kDtrmVoltage.Clamp(v);
}

void TConfigSession::SetAgc(bool on) {
    if (Tchannel* c = Edited()) c->Agc = on;
}

QString TConfigSession::RunOnRangeMessage(qint64 typed) {
    if (typed >= kRunOn.Min && typed <= kRunOn.Max) return QString();
    return T::kValueOutOfLimits;
}

QString TConfigSession::GainRangeMessage(qint64 typed) {
    if (typed > kGain.Max) return T::kMaximumSetTo + QString::number(kGain.Max);
    if (typed < kGain.Min) return T::kMinimumSetTo + QString::number(kGain.Min);
    return QString();
}

// ---------------------------------------------------------------------------------------------
// Schedule

void TConfigSession::SelectScheduleChannel(int index) {
    scheduleChannel_ = index >= 0 && index < channels_.Count() ? index : -1;
}

const TScheduleDay& TConfigSession::Day(int d) const {
    if (scheduleChannel_ >= 0 && scheduleChannel_ < channels_.Count())
        return channels_[scheduleChannel_].ScheduleEdit[DayIndex(d)];
    return unselected_[DayIndex(d)];
}

TScheduleDay& TConfigSession::EditedDay(int d) {
    return const_cast<TScheduleDay&>(Day(d));
}

QTime TConfigSession::DayStart(int d) const {
    return TimeOf(Day(d).Start);
}
QTime TConfigSession::DayStop(int d) const {
    return TimeOf(Day(d).Stop);
}
void TConfigSession::SetDayEnabled(int d, bool on) {
    EditedDay(d).En = on;
}
void TConfigSession::SetFullDay(int d, bool on) {
    EditedDay(d).FullTime = on;
}
void TConfigSession::SetDayStart(int d, const QTime& t) {
    EditedDay(d).Start = DateTimeOf(t);
}
void TConfigSession::SetDayStop(int d, const QTime& t) {
    EditedDay(d).Stop = DateTimeOf(t);
}

// ---------------------------------------------------------------------------------------------
// General settings and alarms

void TConfigSession::SetCompressionItem(int item) {
    if (item < 0 || item > 4) return;  // a-Law, u-Law, IMA ADPCM, GSM, MP3
    settings_.cbxCompression = item;
    settings_.CompressionTag = TLiveSettings::CompressionTagOf(item);
}

void TConfigSession::SetStartKey(const QString& text) {
    settings_.edtStart = FilterKeys(text);
}
void TConfigSession::SetStopKey(const QString& text) {
    settings_.edtStop = FilterKeys(text);
}

void TConfigSession::SetTrimDigits(bool on) {
    settings_.cbxTrimDigits = on;
    if (!on) settings_.edtTrimDigits.clear();
}

void TConfigSession::SetExternalTool(bool on) {
    settings_.cbExtTool = on;
}

QString TConfigSession::ExecutableStart() const {
    return settings_.ToolExecutable.isEmpty() ? QDir::homePath()
                                              : QFileInfo(settings_.ToolExecutable).absolutePath();
}

QString TConfigSession::ExecutableName() const {
    return QFileInfo(settings_.ToolExecutable).fileName();
}

void TConfigSession::ChooseExecutable(const QString& path) {
    if (!path.isEmpty()) settings_.ToolExecutable = path;
}

void TConfigSession::SetMail(bool on) {
    settings_.chkSmtp = on;
}

// ---------------------------------------------------------------------------------------------
// Medium management and storage

QString TConfigSession::AsFolder(const QString& picked) {
    if (picked.isEmpty()) return QString();
    QString folder = QDir::cleanPath(picked);
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

void TConfigSession::SetRecycleHdd(bool on) {
    settings_.chkRecycleHdd = on;
}

QString TConfigSession::BackupFolderStart() const {
    const QString current = settings_.edtbackupFolder;
    return QFileInfo(current).isDir() ? current : QDir::homePath();
}

void TConfigSession::ChooseBackupFolder(const QString& folder) {
    const QString chosen = AsFolder(folder);
    if (!chosen.isEmpty()) settings_.edtbackupFolder = chosen;
}

QString TConfigSession::SaveFolderStart() const {
    QString start = settings_.edtFolder;
    if (!QFileInfo(start).isDir()) start = store_.DefaultSaveFolder();
    if (!QFileInfo(start).isDir()) start = QDir::homePath();
    return start;
}

void TConfigSession::ChooseSaveFolder(const QString& folder) {
    const QString chosen = AsFolder(folder);
    if (chosen.isEmpty()) return;
    settings_.edtFolder = chosen;
    MeasureCapacity(chosen);  // the capacity is measured on the volume of the folder chosen
}

void TConfigSession::MeasureCapacity(const QString& folder) {
    capacityLimit_ = std::max(TConfigStore::CapacityMaximum(folder), Capacity());
}

int TConfigSession::Capacity() const {
    return std::max(0, settings_.speMainStorageCap);
}

void TConfigSession::SetCapacity(int mb) {
    const int v = std::clamp(mb, 0, capacityLimit_);
    settings_.speMainStorageCap = TConfigStore::ClimbCapacity(v, UsedMb(), capacityLimit_);
}

// ---------------------------------------------------------------------------------------------
// Filters and security

void TConfigSession::SetInboundFilter(bool on) {
    settings_.cbxInboundFilter = on;
}
void TConfigSession::SetOutboundFilter(bool on) {
    settings_.cbxOutboundFilter = on;
}

bool TConfigSession::PasswordOn(PasswordKind kind) const {
    return kind == Administrator ? settings_.cbxAdminPass : settings_.cbxAccessPass;
}

void TConfigSession::SetPasswordOn(PasswordKind kind, bool on) {
    bool& live = kind == Administrator ? settings_.cbxAdminPass : settings_.cbxAccessPass;
    if (!on) {
        live = false;
        return;
    }
    // A password is only switched on once the user has given it.
    if (AskNewPassword && AskNewPassword(kind)) live = true;
}

void TConfigSession::ChangePassword(PasswordKind kind) {
    if (PasswordOn(kind) && AskNewPassword) AskNewPassword(kind);
}

void TConfigSession::SetBackupDb(bool on) {
    settings_.chkBackupDb = on;
}
