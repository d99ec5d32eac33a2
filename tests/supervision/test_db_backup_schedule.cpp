// The copies of the database files: one at a start that finds none, then one every few days,
// looked at every 300 seconds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SupervisionTexts.h"
#include "SystemFormat.h"
#include "TClock.h"
#include "TDbBackupSchedule.h"
#include "TEventLog.h"
#include "TIniFile.h"
#include "TLiveSettings.h"
#include "TTestClock.h"

namespace {

class DbBackupScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TEventLog::SetInstance(&log);
        ini.Open(dir.path() + "/Pelmorant.ini");
        lastBackup = std::floor(NowDateTime());
    }
    void TearDown() override { TEventLog::SetInstance(nullptr); }
    TDbBackupSchedule Schedule() {
        return TDbBackupSchedule(settings, ini, lastBackup, dir.path() + "/backupDB", [this] {
            ++copies;
            QDir().mkpath(dir.path() + "/backupDB");
            QFile f(dir.path() + "/backupDB/Calls.d");
            f.open(QIODevice::WriteOnly);
        });
    }
    void Ticks(TDbBackupSchedule& s, int n) {
        for (int i = 0; i < n; ++i) s.Tick();
    }
    int Logged() const {
        return static_cast<int>(
            log.Lines().filter(QString("(") + SupervisionTexts::kBackupDatabaseFiles + ")").size());
    }

    TTestClock clock{QDateTime(QDate(2026, 12, 9), QTime(15, 30)), TTestClock::Install::Yes};
    QTemporaryDir dir;
    TEventLog log;
    TIniFile ini;
    TLiveSettings settings;
    TDateTime lastBackup = 0;
    int copies = 0;
};

}  // namespace

TEST_F(DbBackupScheduleTest, AStartThatFindsNoCopyMakesOne) {
    settings.chkBackupDb = false;  // copies switched off: none, ever
    TDbBackupSchedule off = Schedule();
    EXPECT_FALSE(off.CopyAtStart());
    Ticks(off, 3000);
    EXPECT_EQ(copies, 0);

    settings.chkBackupDb = true;
    TDbBackupSchedule s = Schedule();
    EXPECT_TRUE(s.CopyAtStart());
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(Logged(), 1);
    EXPECT_EQ(ini.ReadString("Backup", "backupDate", ""), "2026-12-09");
    EXPECT_FALSE(Schedule().CopyAtStart());  // the next start finds it
    EXPECT_EQ(copies, 1);
}

TEST_F(DbBackupScheduleTest, ACopyEveryPeriodLookedAtEveryThreeHundredTicks) {
    settings.speBackupdb = 5;
    lastBackup = ToDateTime(QDateTime(QDate(2026, 12, 4), QTime(18, 0)));  // 4.9 days ago
    TDbBackupSchedule s = Schedule();
    Ticks(s, 300);
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(s.Ticks(), 0);  // counted again from 0

    clock.now = clock.now.addSecs(3 * 3600);  // 5.1 days: due, but only at the 300th tick
    Ticks(s, 299);
    EXPECT_EQ(copies, 0);
    s.Tick();
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(FromDateTime(lastBackup), QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
    EXPECT_EQ(ini.ReadString("Backup", "backupDate", ""), "2026-12-09");
    EXPECT_EQ(Logged(), 1);
    Ticks(s, 600);
    EXPECT_EQ(copies, 1);

    // Switched off, the count stands still; switched on again it goes on from there.
    Ticks(s, 150);
    settings.chkBackupDb = false;
    Ticks(s, 1000);
    EXPECT_EQ(s.Ticks(), 150);
}
