// The copies of the database files kept in AppDataDir/backupDB: one at a start that finds no
// copy there (the first start, or copies lost), then one whenever, at every 300th tick of the
// main window's one-second timer, at least `speBackupdb` whole days have passed since the last
// one ("Backup"/"backupDate"). Both only while "Keep a copy of database files every" is checked.
// Main thread only.
#pragma once

#include <QString>
#include <functional>

#include "VolgaTypes.h"

class TIniFile;
class TLiveSettings;

class TDbBackupSchedule {
public:
    static constexpr int kTicksPerLook = 300;

    // `lastBackup` is the main window's date of the last copy; `copy` copies the files into
    // `backupDir`.
    TDbBackupSchedule(TLiveSettings& settings, TIniFile& ini, TDateTime& lastBackup,
                      QString backupDir, std::function<void()> copy);

    // Copies now when the folder holds no copy of the Calls table; true when it copied.
    bool CopyAtStart();
    void Tick();
    int Ticks() const { return ticks_; }

private:
    void Copy();

    TLiveSettings& settings_;
    TIniFile& ini_;
    TDateTime& lastBackup_;
    QString backupDir_;
    std::function<void()> copy_;
    int ticks_ = 0;
};
