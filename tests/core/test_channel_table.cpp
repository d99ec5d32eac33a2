// Channels, their schedule and the monitor tile states.
#include <gtest/gtest.h>

#include "SystemFormat.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TTestClock.h"

namespace {

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TClock::Install(&clock);
        TEventLog::SetInstance(&log);
        table.InitChannels();
    }
    void TearDown() override {
        TClock::Install(nullptr);
        TEventLog::SetInstance(nullptr);
    }
    TTestClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};  // a Monday
    TEventLog log;
    TChannelTable table;
};

TDateTime At(int h, int m, int s, int ms = 0) {
    TDateTime t = 0;
    TVolgaFormatSettings::EncodeTime(h, m, s, ms, t);
    return t;
}

}  // namespace

TEST_F(ChannelTest, InitAndIndexChecks) {
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table[1].Number, 1);
    EXPECT_EQ(table[1].Tag, "#1");
    EXPECT_TRUE(table[0].Idle);
    EXPECT_FALSE(table[0].Operation);
    EXPECT_THROW(table[256], std::out_of_range);
    int left = 0, top = 0;
    TChannelTable::TilePosition(1, 2, left, top);
    EXPECT_EQ(left, 115);
    EXPECT_EQ(top, 30);
}

TEST_F(ChannelTest, ScheduleBoundaries) {
    // A new channel records around the clock.
    EXPECT_TRUE(table.InSchedule(0));
    TScheduleDay& monday = table[0].Schedule[2];
    monday.FullTime = false;
    monday.Start = At(9, 0, 0);
    monday.Stop = At(17, 0, 0);
    QDate mon(2026, 12, 7);
    auto at = [&](QTime t) { return ToDateTime(QDateTime(mon, t)); };
    EXPECT_FALSE(table.InSchedule(0, at(QTime(8, 59, 59))));
    EXPECT_TRUE(table.InSchedule(0, at(QTime(9, 0, 0, 0))));
    EXPECT_TRUE(table.InSchedule(0, at(QTime(17, 0, 0, 0))));
    EXPECT_FALSE(table.InSchedule(0, at(QTime(17, 0, 0, 1))));
    table[0].Schedule[1].En = false;  // Sunday off
    EXPECT_FALSE(table.InSchedule(0, ToDateTime(QDateTime(QDate(2026, 12, 6), QTime(12, 0)))));
    monday.Start = At(22, 0, 0);
    monday.Stop = At(6, 0, 0);
    EXPECT_FALSE(table.InSchedule(0, at(QTime(23, 0))));
    EXPECT_FALSE(table.InSchedule(0, at(QTime(3, 0))));
}

TEST_F(ChannelTest, TilesThroughOffIdleRecord) {
    table.RefreshTilesOnShow();
    EXPECT_EQ(table[0].StateImage, TTileState::Off);
    EXPECT_EQ(table[0].StateLabel, "Off");
    EXPECT_EQ(table[0].NameLabel, "#0");
    table[0].Operation = true;
    table.MonitorTick();
    EXPECT_EQ(table[0].StateImage, TTileState::Idle);
    EXPECT_EQ(table[0].StateLabel, "Idle");
    // A call starts.
    table[0].Idle = false;
    table[0].StartTime = NowDateTime();
    clock.now = clock.now.addSecs(5);
    table.MonitorTick();
    EXPECT_EQ(table[0].StateImage, TTileState::Record);
    EXPECT_EQ(table[0].StateLabel, "00:00:05");
    // Switched off during the call: stays in Record until the call ends, then Off.
    table[0].Operation = false;
    table.MonitorTick();
    EXPECT_EQ(table[0].StateImage, TTileState::Record);
    table.ResetChannel(0);
    table.MonitorTick();
    EXPECT_EQ(table[0].StateImage, TTileState::Off);
    EXPECT_EQ(table[0].StateLabel, "Off");
    // A label change shows at the next tick.
    table[1].Tag = "Front desk";
    table.MonitorTick();
    EXPECT_EQ(table[1].NameLabel, "Front desk");
}

TEST_F(ChannelTest, ElapsedTimeWrapsAfterADay) {
    TDateTime start = NowDateTime();
    EXPECT_EQ(ElapsedText(start, start + (23 * 3600 + 59 * 60 + 59) / 86400.0), "23:59:59");
    EXPECT_EQ(ElapsedText(start, start + 1.0), "00:00:00");
}

TEST_F(ChannelTest, ResetClearsCallDetailsAndLogs) {
    table[1].Idle = false;
    table[1].Dtmf = "123";
    table[1].CallerId = "555";
    table[1].CallerName = "Ann";
    table[1].InOut = 1;
    table.ResetChannel(1);
    EXPECT_TRUE(table[1].Idle);
    EXPECT_TRUE(table[1].Dtmf.isEmpty());
    EXPECT_TRUE(table[1].CallerId.isEmpty());
    EXPECT_TRUE(table[1].CallerName.isEmpty());
    EXPECT_EQ(table[1].InOut, 1);  // kept from the last call
    QStringList lines = log.Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("  <#1> (Channel Reset)"));
    EXPECT_TRUE(lines[1].endsWith("  <#1> (Idle)"));
}
