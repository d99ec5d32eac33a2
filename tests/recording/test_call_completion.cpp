// The simulator and the end of a call: modes, duration filters, filtered numbers, file names,
// rename failures, SMDR and the storage check.
#include <QFileInfo>
#include <QTimer>
#include <map>

#include "DatabaseFixture.h"
#include "RecordingFakes.h"
#include "RecordingTexts.h"
#include "TCallCompletion.h"
#include "TChannelTable.h"
#include "TFilteredNumbers.h"
#include "TSampleCallers.h"
#include "TSimRandom.h"
#include "TdmRecorder.h"
#include "TfmPelmorantDB.h"

namespace {

class CompletionTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        settings.speMainStorageCap = 100000;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        filtered = std::make_unique<TFilteredNumbers>(&db->dbPelmorant);
        filtered->Open();
        channels.InitChannels(2);
        channels[0].Operation = channels[1].Operation = true;
        completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db,
                                                       filtered.get(), &alarms, &storage);
        recorder =
            std::make_unique<TdmRecorder>(channels, settings, mic, &mixer, *completion, &alarms);
        recorder->Random = TSimRandom(12345);
    }
    // A finished call on channel n of the given direction and length, with its temporary file.
    void FinishedCall(int n, int inOut, int seconds) {
        Tchannel& c = channels[n];
        c.InOut = static_cast<uint8_t>(inOut);
        c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(9, 4, 7)));
        c.StopTime = c.StartTime + seconds / 86400.0;
        c.Idle = false;
        if (inOut == 0) {
            c.CallerId = "5551234";
            c.CallerName = "Ann";
        } else {
            c.Dtmf = "5559";
        }
        WriteRecording(completion->TemporaryPath(n).mid(settings.edtFolder.size()), 3000);
    }
    int Filed() {
        db->tblCalls.SetFiltered(false);
        return db->tblCalls.RecordCount();
    }
    bool LogHas(const QString& text) {
        for (const QString& l : log.Lines())
            if (l.endsWith("(" + text + ")")) return true;
        return false;
    }

    TChannelTable channels;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TFilteredNumbers> filtered;
    std::unique_ptr<TCallCompletion> completion;
    std::unique_ptr<TdmRecorder> recorder;
    FakeAudioRecorder mic;
    FakeMixer mixer;
    RecordingAlarms alarms;
    RecordingStorage storage;
};

}  // namespace

TEST_F(CompletionTest, FileNamesAndLength) {
    TDateTime start = ToDateTime(QDateTime(QDate(2008, 3, 5), QTime(9, 4, 7)));
    EXPECT_EQ(TCallCompletion::BaseName(1, start), "1_20080305_090407");
    EXPECT_EQ(completion->TemporaryPath(12), settings.edtFolder + "12_recording.wav");
    EXPECT_EQ(completion->Extension(), ".wav");
    settings.cbxCompression = 4;
    EXPECT_EQ(completion->Extension(), ".mp3");
    EXPECT_EQ(TCallCompletion::CallLength(start, start + 10.999 / 86400.0), 10);
    EXPECT_EQ(TCallCompletion::CallLength(start, start + 1.0 + 5 / 86400.0), 5);  // days ignored
}

TEST_F(CompletionTest, KeptCallIsRenamedAndFiled) {
    FinishedCall(1, 0, 30);
    completion->CompleteCall(1);
    EXPECT_FALSE(QFileInfo::exists(completion->TemporaryPath(1)));
    EXPECT_TRUE(QFileInfo::exists(settings.edtFolder + "1_20261209_090407.wav"));
    ASSERT_EQ(Filed(), 1);
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("fileName").AsString(), "1_20261209_090407.wav");
    EXPECT_EQ(db->tblCalls.FieldByName("dtmf").AsString(), "");  // incoming: digits emptied
    EXPECT_EQ(db->tblCalls.FieldByName("Memo").AsString(), "Ann");
    EXPECT_EQ(db->tblCalls.FieldByName("fileSize").AsInteger(), 3);
    EXPECT_TRUE(channels[1].Idle);
    EXPECT_TRUE(channels[1].CallerId.isEmpty());
    EXPECT_TRUE(LogHas("Channel Reset"));
}

TEST_F(CompletionTest, ModesAndDurationFilters) {
    settings.cbxRecordCalls = 0;  // Incoming only
    FinishedCall(0, 1, 30);
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 0);
    EXPECT_FALSE(QFileInfo::exists(completion->TemporaryPath(0)));
    EXPECT_TRUE(LogHas("recording rejected by filter"));
    FinishedCall(0, 2, 1);  // on demand is never dropped
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 1);

    settings.cbxRecordCalls = 2;
    settings.cbxInboundFilter = true;
    settings.spnInboundTime = 10;
    FinishedCall(0, 0, 10);  // equal to the limit: dropped
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 1);
    FinishedCall(1, 0, 11);
    completion->CompleteCall(1);
    EXPECT_EQ(Filed(), 2);
    settings.spnOutboundTime = 2;  // outbound filter on by default
    FinishedCall(0, 1, 2);
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 2);
}

TEST_F(CompletionTest, FilteredNumbersDropByPrefix) {
    filtered->ShowDirection(1);
    filtered->Add("555");
    for (const char* digits : {"5", "55", "555", "5559"}) {
        FinishedCall(0, 1, 30);
        channels[0].Dtmf = digits;
        completion->CompleteCall(0);
        // Two calls in the same second would clash: move each on.
        QFile::remove(settings.edtFolder + "0_20261209_090407.wav");
    }
    EXPECT_EQ(Filed(), 1);  // only 5559 kept
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("dtmf").AsString(), "5559");
}

TEST_F(CompletionTest, SecondCallInTheSameSecondNeverOverwritesTheFirst) {
    alarms.calls.clear();
    FinishedCall(0, 0, 30);
    completion->CompleteCall(0);
    QFile first(settings.edtFolder + "0_20261209_090407.wav");
    ASSERT_TRUE(first.exists());
    FinishedCall(0, 0, 30);
    mic.content = QByteArray(10, 'b');
    {
        QFile second(completion->TemporaryPath(0));
        second.open(QIODevice::WriteOnly);
        second.write("second call");
    }
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 1);
    first.open(QIODevice::ReadOnly);
    EXPECT_EQ(first.readAll(), QByteArray(3000, 'x'));             // untouched
    EXPECT_TRUE(QFileInfo::exists(completion->TemporaryPath(0)));  // stays where it is
    EXPECT_FALSE(channels[0].Operation);
    EXPECT_EQ(globals.SoftErrorText(), "\"RenameFile(OldName, NewName)\" failed");
    EXPECT_TRUE(LogHas("\"RenameFile(OldName, NewName)\" failed"));
    EXPECT_EQ(alarms.calls, QStringList({"software 0", "software mail"}));
    int resets = 0;
    for (const QString& l : log.Lines()) resets += l.endsWith("(Channel Reset)");
    EXPECT_EQ(resets, 3);  // one for the first call, two for the failed one
}

TEST_F(CompletionTest, SmdrFilesWithoutARecording) {
    settings.cbxRecordCalls = 3;
    FinishedCall(0, 0, 30);
    completion->CompleteCall(0);
    ASSERT_EQ(Filed(), 1);
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("fileName").AsString(), "SMDR");
    EXPECT_TRUE(QFileInfo::exists(completion->TemporaryPath(0)));  // no rename
    settings.cbxInboundFilter = true;
    int lines = static_cast<int>(log.Lines().size());
    FinishedCall(0, 0, 3);  // dropped: nothing done with the file, no line of its own
    completion->CompleteCall(0);
    EXPECT_EQ(Filed(), 1);
    EXPECT_EQ(static_cast<int>(log.Lines().size()), lines + 2);  // the reset lines only
}

TEST_F(CompletionTest, StorageCheckAtNinetyEightPercent) {
    settings.speMainStorageCap = 1;  // 1003.52 KiB at 98 %
    globals.UsedSpaceKb = 1000;
    FinishedCall(0, 0, 30);  // +3 KiB: 1003, below
    completion->CompleteCall(0);
    EXPECT_TRUE(storage.calls.isEmpty());
    FinishedCall(1, 0, 30);  // 1006: start recycling
    completion->CompleteCall(1);
    EXPECT_EQ(storage.calls, QStringList({"recycle"}));
    EXPECT_EQ(alarms.calls, QStringList({"hdd full", "hdd full mail"}));
    channels[0].StartTime += 1 / 86400.0;
    FinishedCall(0, 0, 30);
    channels[0].StartTime += 2 / 86400.0;
    completion->CompleteCall(0);  // a run in progress: nothing more
    EXPECT_EQ(storage.calls.size(), 1);
    settings.chkRecycleHdd = false;
    FinishedCall(1, 0, 30);
    channels[1].StartTime += 5 / 86400.0;
    completion->CompleteCall(1);
    EXPECT_EQ(storage.calls, QStringList({"recycle", "backup"}));
}

TEST_F(CompletionTest, SimulatorDrawsOperatingChannelsAndSampleCallers) {
    channels[0].Operation = false;
    std::map<int, int> perChannel;
    for (int i = 0; i < 40; ++i) {
        recorder->RecordClick();
        ASSERT_TRUE(recorder->CallActive());
        const Tchannel& c = channels[recorder->CurrentChannel];
        ++perChannel[recorder->CurrentChannel];
        EXPECT_FALSE(c.Idle);
        if (c.InOut == 1) {
            EXPECT_EQ(c.Dtmf.size(), 10);
        } else {
            bool found = false;
            for (size_t k = 0; k < 50; ++k)
                if (c.CallerId == TSampleCallers::CallerNumbers[k])
                    found = found || c.CallerName == TSampleCallers::CallerNames[k];
            EXPECT_TRUE(found);
        }
        recorder->RecordClick();
        EXPECT_FALSE(recorder->CallActive());
        QFile::remove(settings.edtFolder + "1_20261209_101112.wav");
    }
    EXPECT_EQ(perChannel[1], 40);
    EXPECT_EQ(mixer.selected, 40);
    EXPECT_EQ(mixer.restored, 40);
    channels[0].Operation = true;
    perChannel.clear();
    for (int i = 0; i < 200; ++i) {
        recorder->StartCall();
        ++perChannel[recorder->CurrentChannel];
        recorder->StopCall();
        QFile::remove(settings.edtFolder +
                      QString("%1_20261209_101112.wav").arg(recorder->CurrentChannel));
    }
    EXPECT_GT(perChannel[0], 60);
    EXPECT_GT(perChannel[1], 60);
    // Nobody in operation: Record does nothing.
    channels[0].Operation = channels[1].Operation = false;
    int starts = mic.starts;
    recorder->RecordClick();
    EXPECT_FALSE(recorder->CallActive());
    EXPECT_EQ(mic.starts, starts);
}

TEST_F(CompletionTest, SampleTablesHaveTheirShape) {
    for (size_t k : {5, 19, 32}) EXPECT_STREQ(TSampleCallers::CallerNumbers[k], "PRIVATE CALL");
    for (size_t k : {12, 27, 36}) EXPECT_STREQ(TSampleCallers::CallerNumbers[k], "LONG DISTANCE");
    for (size_t k : {5, 12, 19, 27, 32, 36}) EXPECT_STREQ(TSampleCallers::CallerNames[k], "");
    for (size_t k : {9, 46, 48}) EXPECT_STREQ(TSampleCallers::CallerNames[k], "WIRELESS CALLER");
    int numbers = 0;
    for (const char* n : TSampleCallers::CallerNumbers) numbers += QString(n).size() == 10;
    EXPECT_EQ(numbers, 44);
    for (const char* n : TSampleCallers::DialledNumbers) EXPECT_EQ(QString(n).size(), 10);
    // The generator: the specified recurrence, and index draws whose ends come up half as often.
    TSimRandom r(0);
    EXPECT_DOUBLE_EQ(r.Next(), 1.0 / 4294967296.0);
    EXPECT_EQ(r.State(), 1u);
    r.Next();
    EXPECT_EQ(r.State(), 134775814u);
    TSimRandom many(7);
    std::map<int, int> counts;
    for (int i = 0; i < 98000; ++i) ++counts[many.Index()];
    EXPECT_NEAR(counts[0], 1000, 200);
    EXPECT_NEAR(counts[25], 2000, 300);
    EXPECT_NEAR(counts[49], 1000, 200);
}

TEST_F(CompletionTest, EightyOneSecondsAndOvertime) {
    clock.now = QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0));
    recorder->RecordClick();
    ASSERT_TRUE(recorder->CallActive());
    for (int s = 1; s <= 80; ++s) {
        clock.now = clock.now.addSecs(1);
        recorder->CallClockTick();
    }
    EXPECT_TRUE(recorder->CallActive());
    clock.now = clock.now.addSecs(1);
    recorder->CallClockTick();  // the 81st second ends the call as Record does
    EXPECT_FALSE(recorder->CallActive());
    EXPECT_EQ(Filed(), 1);

    settings.spnCallOvertime = 1;
    alarms.calls.clear();
    clock.now = QDateTime(QDate(2026, 12, 9), QTime(13, 0, 0));
    recorder->RecordClick();
    const int n = recorder->CurrentChannel;
    for (int s = 1; s <= 59; ++s) {
        clock.now = clock.now.addSecs(1);
        recorder->CallClockTick();
    }
    EXPECT_TRUE(recorder->CallActive());
    clock.now = clock.now.addSecs(1);
    recorder->CallClockTick();
    EXPECT_FALSE(recorder->CallActive());
    EXPECT_FALSE(channels[n].Operation);
    EXPECT_EQ(alarms.calls,
              QStringList({QString("overtime %1").arg(n), QString("overtime mail %1").arg(n)}));
}

TEST_F(CompletionTest, FailedCaptureTakesTheCallBack) {
    mic.failStart = true;
    recorder->RecordClick();
    EXPECT_FALSE(recorder->CallActive());
    EXPECT_FALSE(recorder->Timer1()->isActive());
    EXPECT_TRUE(channels[recorder->CurrentChannel].Idle);
    EXPECT_EQ(messages.shown.last(), "Error opening audio device for input.\nBad device ID.");
    mic.failStart = false;
    recorder->RecordClick();  // the next call starts normally
    EXPECT_TRUE(recorder->CallActive());
    clock.now = clock.now.addSecs(30);
    recorder->RecordClick();
    EXPECT_EQ(Filed(), 1);
}

TEST_F(CompletionTest, LeftoverTemporaryFileIsReplaced) {
    channels[0].Operation = false;
    WriteRecording("1_recording.wav", 99999);
    recorder->RecordClick();
    EXPECT_EQ(QFileInfo(settings.edtFolder + "1_recording.wav").size(), 0);
    recorder->RecordClick();
}

// The capture could not write a byte (a full disk): the call is filed without a recording, and
// no empty file is left under a recording's name.
TEST_F(CompletionTest, ACallWithNothingRecordedIsFiledWithoutAnEmptyRecording) {
    FinishedCall(0, 0, 30);
    WriteRecording(completion->TemporaryPath(0).mid(settings.edtFolder.size()), 0);
    completion->CompleteCall(0);
    EXPECT_FALSE(QFileInfo::exists(completion->TemporaryPath(0)));
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "0_20261209_090407.wav"));
    ASSERT_EQ(Filed(), 1);
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("fileName").AsString(), "");
    EXPECT_EQ(db->tblCalls.FieldByName("fileSize").AsInteger(), 0);
    EXPECT_TRUE(LogHas(RecordingTexts::kNoAudio));
    EXPECT_TRUE(channels[0].Operation);  // no software error: the next call records as usual
}
