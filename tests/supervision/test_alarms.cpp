// The alarms: the queue's gate and order (also from another thread), the drain into the Alarms
// table with one beep sequence, the beep's tone, count and stop, a table that cannot be written,
// and "Clear Messages".
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <thread>

#include "DatabaseFixture.h"
#include "FakeWaveOutput.h"
#include "SupervisionTexts.h"
#include "TAlarmBeep.h"
#include "TAlarmQueue.h"
#include "TAlarms.h"
#include "TChannelTable.h"
#include "TFailingWrites.h"
#include "TVolgaEnv.h"
#include "TfmPelmorantDB.h"

namespace {

class AlarmsTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        channels.InitChannels(4);
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        db->dbPelmorant.Env = &env;
        alarms = std::make_unique<TAlarms>(settings, globals, channels, db->tblAlarms, queue);
        alarms->BeepHalfCycleMs = 10;
        // Each beep's output plays what it is given at once.
        alarms->MakeOutput = [this] {
            auto out = std::make_unique<FakeWaveOutput>();
            FakeWaveOutput* raw = out.get();
            outputs.push_back(raw);
            ++made;
            raw->OnDestroyed = [this, raw] { std::erase(outputs, raw); };
            return out;
        };
        player.callOnTimeout([this] {
            for (FakeWaveOutput* out : std::vector<FakeWaveOutput*>(outputs)) out->PlayAll();
        });
        player.start(5);
    }
    void TearDown() override {
        alarms.reset();
        db.reset();
        DatabaseFixture::TearDown();
    }
    QStringList Records() {
        QStringList out;
        TVolgaTable& t = db->tblAlarms;
        for (int r = 0; r < t.RecordCount(); ++r)
            out << QString::fromStdString(t.TextAt(r, t.FieldByName("TypeSt").FieldNo()) + ": " +
                                          t.TextAt(r, t.FieldByName("Msg").FieldNo()));
        return out;
    }

    TChannelTable channels;
    TAlarmQueue queue;
    TFailingWrites env;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TAlarms> alarms;
    std::vector<FakeWaveOutput*> outputs;  // those alive
    int made = 0;
    QTimer player;
};

}  // namespace

TEST_F(AlarmsTest, QueuedAlarmsReachTheTableInOrderWithOneBeepSequence) {
    settings.spnAlarmDuration = 3;
    globals.SetSoftErrorText("\"RenameFile(OldName, NewName)\" failed");
    alarms->QueueHardwareAlarm();
    alarms->QueueOverTimeAlarm(2);
    std::thread([this] {
        queue.Add({NowDateTime(), TAlarm::Thread, "Recycle thread failed"});
    }).join();
    alarms->QueueSoftwareAlarm(3);
    EXPECT_EQ(queue.Count(), 4);
    alarms->DrainAlarms();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(Records(), QStringList({"Hardware: Hardware failure detected",
                                      "OverTime: Recording reached maximum time on channel 2",
                                      "Thread: Recycle thread failed",
                                      "Software: Software error: \"RenameFile(OldName, NewName)\" "
                                      "failed on channel 3"}));
    // The file holds them too.
    TfmPelmorantDB reopened(globals, settings);
    ASSERT_TRUE(reopened.OpenDatabase());
    EXPECT_EQ(reopened.tblAlarms.RecordCount(), 4);

    // One beep sequence; an alarm raised while it runs adds its record, not a second sequence.
    TAlarmBeep* beep = alarms->CurrentAlarmBeep();
    ASSERT_NE(beep, nullptr);
    EXPECT_EQ(beep->Count(), 3);
    alarms->QueueHddFullAlarm();
    alarms->DrainAlarms();
    EXPECT_EQ(alarms->CurrentAlarmBeep(), beep);
    EXPECT_EQ(Records().last(), QString("HddFull: Main storage medium is full"));
    EXPECT_EQ(made, 1);
    QSignalSpy ended(alarms.get(), &TAlarms::beepEnded);
    QVERIFY2(ended.wait(2000), "the beep did not end");
    EXPECT_EQ(alarms->CurrentAlarmBeep(), nullptr);
    EXPECT_EQ(ended.size(), 1);
}

TEST_F(AlarmsTest, WithTheAudioAlarmOffNothingIsQueuedButMailsAreStillSent) {
    settings.chkAudioAlarm = false;
    int mails = 0;
    alarms->HddFullMail = [&mails] { ++mails; };
    alarms->QueueHddFullAlarm();
    alarms->SendHddFullMail();
    alarms->DrainAlarms();
    EXPECT_EQ(mails, 1);
    EXPECT_EQ(db->tblAlarms.RecordCount(), 0);
    EXPECT_EQ(alarms->CurrentAlarmBeep(), nullptr);
    EXPECT_EQ(made, 0);
}

TEST_F(AlarmsTest, TheBeepPlaysItsCountAndStopsAfterTheBeepInProgress) {
    // 800 Hz for the first half, silence for the second.
    const QByteArray cycle = TAlarmBeep::BeepAndPause(500);
    ASSERT_EQ(cycle.size(), 8000 * 2);
    const auto* s = reinterpret_cast<const int16_t*>(cycle.constData());
    int crossings = 0;
    for (int i = 1; i < 4000; ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
    EXPECT_NEAR(crossings, 800, 4);
    for (int i = 4000; i < 8000; ++i) ASSERT_EQ(s[i], 0);

    // Nothing is played until the test says so: the end waits for what was written.
    auto* out = new FakeWaveOutput;
    TAlarmBeep beep(std::unique_ptr<IWaveOutput>(out), 10);
    beep.HalfCycleMs = 10;
    QSignalSpy finished(&beep, &TAlarmBeep::finished);
    beep.Start();
    EXPECT_EQ(out->Format.SamplesPerSec(), 8000u);
    QTRY_COMPARE(beep.BeepsStarted(), 3);
    EXPECT_EQ(out->Queue.size(), 3u);  // a cycle written for each beep
    EXPECT_EQ(out->Queue.back(), TAlarmBeep::BeepAndPause(10));
    beep.Stop();                 // during the third beep
    QTRY_COMPARE(out->Ends, 1);  // the last second has passed: the output plays out
    EXPECT_EQ(beep.BeepsStarted(), 3);
    EXPECT_TRUE(out->IsOpen());
    EXPECT_EQ(out->PlayAll(), 3);
    QVERIFY(finished.wait(1000));
    EXPECT_FALSE(out->IsOpen());
    EXPECT_EQ(out->Played.size(), 3 * TAlarmBeep::BeepAndPause(10).size());

    auto* wholeOut = new FakeWaveOutput;
    TAlarmBeep whole(std::unique_ptr<IWaveOutput>(wholeOut), 4);
    whole.HalfCycleMs = 5;
    QSignalSpy done(&whole, &TAlarmBeep::finished);
    whole.Start();
    QTimer playing;
    playing.callOnTimeout([wholeOut] { wholeOut->PlayAll(); });
    playing.start(2);
    QVERIFY(done.wait(1000));
    playing.stop();
    EXPECT_EQ(whole.BeepsStarted(), 4);
    EXPECT_EQ(done.size(), 1);

    // A count of 0 ends at once; no sound card: the seconds still pass, silently.
    TAlarmBeep none(nullptr, 0);
    QSignalSpy noneDone(&none, &TAlarmBeep::finished);
    none.Start();
    EXPECT_TRUE(noneDone.wait(500));
    auto* refused = new FakeWaveOutput;
    refused->RefuseOpen = true;
    TAlarmBeep silent(std::unique_ptr<IWaveOutput>(refused), 2);
    silent.HalfCycleMs = 5;
    QSignalSpy silentDone(&silent, &TAlarmBeep::finished);
    silent.Start();
    EXPECT_TRUE(silentDone.wait(1000));
    EXPECT_EQ(silent.BeepsStarted(), 2);
}

TEST_F(AlarmsTest, StopAlarmClearsTheBeepAtOnce) {
    settings.spnAlarmDuration = 300;
    alarms->QueueHardwareAlarm();
    alarms->DrainAlarms();
    QPointer<TAlarmBeep> beep = alarms->CurrentAlarmBeep();
    ASSERT_TRUE(beep);
    alarms->StopAlarm();
    EXPECT_EQ(alarms->CurrentAlarmBeep(), nullptr);
    QTRY_VERIFY(beep.isNull());  // it ends after its beep and is freed
    // The next alarm starts a new sequence.
    alarms->QueueHardwareAlarm();
    alarms->DrainAlarms();
    EXPECT_NE(alarms->CurrentAlarmBeep(), nullptr);
}

TEST_F(AlarmsTest, AnAlarmTheTableCannotTakeWaitsAndTheErrorIsShownOnce) {
    env.Fail = true;
    alarms->QueueHardwareAlarm();
    alarms->QueueOverTimeAlarm(1);
    alarms->DrainAlarms();
    alarms->QueueHddFullAlarm();
    alarms->DrainAlarms();
    EXPECT_EQ(messages.shown.size(), 1) << messages.shown.join('\n').toStdString();
    env.Fail = false;
    alarms->DrainAlarms();
    TfmPelmorantDB reopened(globals, settings);
    ASSERT_TRUE(reopened.OpenDatabase());
    QStringList types;
    for (int r = 0; r < reopened.tblAlarms.RecordCount(); ++r)
        types << QString::fromStdString(
            reopened.tblAlarms.TextAt(r, reopened.tblAlarms.FieldByName("TypeSt").FieldNo()));
    EXPECT_EQ(types, QStringList({"Hardware", "OverTime", "HddFull"}));
    // The next failure is shown again.
    env.Fail = true;
    alarms->QueueHardwareAlarm();
    alarms->DrainAlarms();
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(AlarmsTest, ClearMessagesAsksFirst) {
    alarms->QueueHardwareAlarm();
    alarms->DrainAlarms();
    ASSERT_TRUE(alarms->HasMessages());
    messages.chooseAnswers = {1};  // No
    EXPECT_FALSE(alarms->ClearMessages());
    EXPECT_EQ(messages.choices, QStringList{SupervisionTexts::kClearMessages});
    EXPECT_TRUE(alarms->HasMessages());
    messages.chooseAnswers = {0};  // Yes
    EXPECT_TRUE(alarms->ClearMessages());
    EXPECT_FALSE(alarms->HasMessages());
    TfmPelmorantDB reopened(globals, settings);
    ASSERT_TRUE(reopened.OpenDatabase());
    EXPECT_EQ(reopened.tblAlarms.RecordCount(), 0);
}
