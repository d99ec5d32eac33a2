// Supervision plugged into the main window: the configuration dialog, the alarms' drain, the
// copies of the database files and the developer windows (the calls database, the Tests window).
#pragma once

#include "ISupervision.h"
#include "TAlarms.h"
#include "TDbBackupSchedule.h"
#include "TfmCallsDbWindow.h"
#include "TfmConfig.h"
#include "TfmTestPelmorant.h"

class TSupervisionFeature : public ISupervision {
public:
    TSupervisionFeature(TfmConfig& config, TfmCallsDbWindow& dbWindow, TDbBackupSchedule& dbBackups,
                        TAlarms& alarms, TfmTestPelmorant& testsWindow)
        : config_(config),
          dbWindow_(dbWindow),
          dbBackups_(dbBackups),
          alarms_(alarms),
          testsWindow_(testsWindow) {}
    void ShowConfig() override { config_.Execute(); }
    void DrainAlarms() override { alarms_.DrainAlarms(); }
    void DbBackupTick() override { dbBackups_.Tick(); }
    void ShowDatabaseWindow() override {
        dbWindow_.show();
        dbWindow_.raise();
    }
    void ShowTestsWindow() override {
        testsWindow_.show();
        testsWindow_.raise();
    }

private:
    TfmConfig& config_;
    TfmCallsDbWindow& dbWindow_;
    TDbBackupSchedule& dbBackups_;
    TAlarms& alarms_;
    TfmTestPelmorant& testsWindow_;
};
