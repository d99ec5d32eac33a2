// The developer's Tests window: the call simulation's commands to the channels, its stop that
// never hangs on a line source that ignores it, the window's buttons, and the reset of the
// medium labels.
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include "DatabaseFixture.h"
#include "TChannelTable.h"
#include "TTestSimulation.h"
#include "TfmPelmorantDB.h"
#include "TfmTestPelmorant.h"

namespace {

class TestsWindowTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        channels.InitChannels(4);
    }
    TChannelTable channels;
};

}  // namespace

TEST_F(TestsWindowTest, EachTickStartsOneCallAndEndsOneThatHasLastedItsLength) {
    TTestSimulation simulation(channels);
    channels[0].Idle = false;  // busy for 30 s, meant to last 20
    channels[0].StartTime = NowDateTime() - 30 / 86400.0;
    channels[0].TestDuration = 20;
    channels[2].Idle = false;  // busy for 30 s too, meant to last 20: ended on the next tick
    channels[2].StartTime = NowDateTime() - 30 / 86400.0;
    channels[2].TestDuration = 20;
    channels[3].Idle = false;  // busy for 5 s of 100
    channels[3].StartTime = NowDateTime() - 5 / 86400.0;
    channels[3].TestDuration = 100;
    simulation.Tick();
    // The lowest idle channel starts a call of 0 to 199 seconds; only one.
    EXPECT_EQ(channels[1].TestCommand, TTestSimulation::kStartCall);
    EXPECT_GE(channels[1].TestDuration, 0);
    EXPECT_LT(channels[1].TestDuration, 200);
    // The first busy channel whose time is up is told to end; only one.
    EXPECT_EQ(channels[0].TestCommand, TTestSimulation::kEndCall);
    EXPECT_EQ(channels[2].TestCommand, TTestSimulation::kNoCommand);
    EXPECT_EQ(channels[3].TestCommand, TTestSimulation::kNoCommand);
    channels[0].Idle = true;
    channels[1].Idle = false;
    channels[1].StartTime = NowDateTime();
    channels[1].TestDuration = 0;  // a call of no length ends on the next tick
    simulation.Tick();
    EXPECT_EQ(channels[0].TestCommand, TTestSimulation::kStartCall);
    EXPECT_EQ(channels[1].TestCommand, TTestSimulation::kEndCall);
    EXPECT_EQ(channels[2].TestCommand, TTestSimulation::kNoCommand);
}

TEST_F(TestsWindowTest, StopEndsTheCallsAndDoesNotHangOnALineThatIgnoresIt) {
    TTestSimulation simulation(channels);
    simulation.EndWaitMs = 100;
    channels[1].Idle = false;  // never goes idle: the simulated line ignores test commands
    channels[2].Idle = false;  // goes idle when told to end
    QTimer line;
    line.callOnTimeout([this] {
        if (channels[2].TestCommand == TTestSimulation::kEndCall) channels[2].Idle = true;
    });
    line.start(10);
    simulation.Start();
    EXPECT_TRUE(simulation.Running());
    QElapsedTimer took;
    took.start();
    simulation.Stop();
    EXPECT_LT(took.elapsed(), 2000);
    EXPECT_FALSE(simulation.Running());
    EXPECT_TRUE(channels[2].Idle);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(channels[n].TestCommand, TTestSimulation::kNoCommand);
}

TEST_F(TestsWindowTest, TheWindowStartsStoppedAndForwardsItsButtons) {
    TfmTestPelmorant window(channels);
    EXPECT_EQ(window.windowTitle(), "Tests");
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.btnStartTest->isEnabled());
    EXPECT_FALSE(window.btnStopTest->isEnabled());
    window.spnTimer->setValue(7);
    window.btnStartTest->click();
    EXPECT_TRUE(window.Simulation().Running());
    EXPECT_FALSE(window.btnStartTest->isEnabled());
    EXPECT_TRUE(window.btnStopTest->isEnabled());
    window.btnStopTest->click();
    EXPECT_FALSE(window.Simulation().Running());
    QStringList pressed;
    window.RecycleRun = [&] { pressed << "recycle"; };
    window.BackupRun = [&] { pressed << "backup"; };
    window.ResetMediumLabels = [&] { pressed << "reset"; };
    for (QPushButton* ok : {window.btn1, window.btn2, window.btn3}) {
        EXPECT_EQ(ok->text(), "ok");
        ok->click();
    }
    EXPECT_EQ(pressed, QStringList({"recycle", "backup", "reset"}));
}

TEST_F(TestsWindowTest, ResetPutsEveryCallBackOnTheMainMediumAndKeepsTheUsedSpace) {
    settings.cbxPostByDate = false;
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    for (int i = 0; i < 3; ++i) {
        Tchannel c;
        c.StartTime = NowDateTime() + i / 86400.0;
        c.StopTime = c.StartTime + 10 / 86400.0;
        c.FileName = QString("call%1.wav").arg(i);
        WriteRecording(c.FileName, 2048);
        db.AddCall(c);
    }
    TVolgaTable& calls = db.tblCalls;
    calls.SetFiltered(false);
    for (int row : {0, 2}) {  // two moved to a backup medium
        calls.SetRecNo(row + 1);
        calls.Edit();
        calls.FieldByName("mediumLabel").SetAsString("2026-12-09 10:11:12");
        calls.FieldByName("mediumType").SetAsInteger(1);
        calls.Post();
    }
    calls.SaveChanges();
    const int used = globals.UsedSpaceKb;
    db.ResetMediumLabels();
    EXPECT_EQ(globals.UsedSpaceKb, used);
    TfmPelmorantDB reopened(globals, settings);
    ASSERT_TRUE(reopened.OpenDatabase());
    TVolgaTable& t = reopened.tblCalls;
    t.SetFiltered(false);
    ASSERT_EQ(t.RecordCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(t.TextAt(row, t.FieldByName("mediumLabel").FieldNo()), "Main storage medium");
        EXPECT_EQ(t.TextAt(row, t.FieldByName("mediumType").FieldNo()), "0");
    }
}
