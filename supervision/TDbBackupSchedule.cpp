#include "TDbBackupSchedule.h"

#include <QFileInfo>
#include <cmath>

#include "SupervisionTexts.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TIniFile.h"
#include "TLiveSettings.h"

TDbBackupSchedule::TDbBackupSchedule(TLiveSettings& settings, TIniFile& ini, TDateTime& lastBackup,
                                     QString backupDir, std::function<void()> copy)
    : settings_(settings),
      ini_(ini),
      lastBackup_(lastBackup),
      backupDir_(std::move(backupDir)),
      copy_(std::move(copy)) {}

bool TDbBackupSchedule::CopyAtStart() {
    if (!settings_.chkBackupDb || QFileInfo::exists(backupDir_ + "/Calls.d")) return false;
    Copy();
    return true;
}

void TDbBackupSchedule::Tick() {
    if (!settings_.chkBackupDb) return;
    if (++ticks_ != kTicksPerLook) return;
    const TDateTime now = NowDateTime();
    const double days = std::trunc(std::fabs(now - lastBackup_));
    if (days >= settings_.speBackupdb) Copy();
    ticks_ = 0;
}

void TDbBackupSchedule::Copy() {
    lastBackup_ = std::floor(NowDateTime());
    ini_.WriteDateTime("Backup", "backupDate", lastBackup_);
    LogGeneral(SupervisionTexts::kBackupDatabaseFiles);
    if (copy_) copy_();
}
