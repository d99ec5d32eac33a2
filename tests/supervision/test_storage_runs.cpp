// The storage runs on a real calls database and real recordings: what recycling deletes and
// what backup moves and labels, their log lines and alarms, records left marked by an earlier
// run, recordings that will not go, a backup area not yet on its medium, the main thread
// filing calls and ticking its timers during a run, and the exit while runs are going. Run
// under the ThreadSanitizer build as well.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>
#include <fstream>
#include <vector>

#include "CallsTableGenerator.h"
#include "DatabaseFixture.h"
#include "SupervisionTexts.h"
#include "TAlarmQueue.h"
#include "TChannelTable.h"
#include "TDatasetModel.h"
#include "TFailingWrites.h"
#include "TStorageRuns.h"
#include "TVolgaEnv.h"
#include "TfmPelmorantDB.h"
#include "TrecycleHdd.h"

namespace T = SupervisionTexts;

namespace {

class StorageRunsTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        TAlarmQueue::Instance().SetEnabled(true);
        TAlarmQueue::Instance().TakeAll();
        channels.InitChannels(2);
        SetOperation(true);
        settings.cbxPostByDate = false;
        settings.edtbackupFolder = dir.path() + "/backup/";
        medium = dir.path() + "/medium/";
        QDir().mkpath(medium);
    }
    void TearDown() override {
        runs.reset();
        db.reset();
        DatabaseFixture::TearDown();
    }

    // The database, with `generated` calls without recordings when asked, and the runs.
    void Open(int generated = 0) {
        if (generated > 0)
            std::ofstream(globals.AppDataDir.toStdString() + "/Calls.d", std::ios::binary)
                << callsgen::CallsImage(generated);
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        db->dbPelmorant.Env = &env;
        globals.UsedSpaceKb = db->SumUsedSpace();
        runs = std::make_unique<TStorageRuns>(*db, settings, globals, channels);
        runs->MarkPauseMs = 0;
        runs->WalkPauseMs = 0;
        runs->BackupRoot = [this] { return medium; };
    }
    static void WriteFile(const QString& path, qint64 bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
    }
    // Files calls with recordings of the given KiB, oldest first.
    void File(const std::vector<std::pair<QString, int>>& calls) {
        for (const auto& [name, kb] : calls) {
            WriteRecording(name, kb * 1024LL);
            Tchannel c;
            c.StartTime = NowDateTime();
            c.StopTime = c.StartTime + 30 / 86400.0;
            c.FileName = name;
            db->AddCall(c);
        }
        globals.UsedSpaceKb = db->SumUsedSpace();
    }
    // Gives the call of a recording other medium fields, saved.
    void SetMedium(const QString& name, const QString& label, int type) {
        TVolgaTable& t = db->tblCalls;
        ASSERT_TRUE(t.Locate("fileName", TVolgaValue(name.toStdString())));
        t.Edit();
        t.FieldByName("mediumLabel").SetAsString(label.toStdString());
        t.FieldByName("mediumType").SetAsInteger(type);
        t.Post();
        t.SaveChanges();
    }
    void SetOperation(bool on) {
        for (int n = 0; n < channels.Count(); ++n) channels[n].Operation = on;
    }

    void WaitForRuns(int timeoutMs = 60000) {
        QElapsedTimer elapsed;
        elapsed.start();
        while ((runs->RecycleRunning() || runs->BackupRunning()) && elapsed.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(runs->RecycleRunning() || runs->BackupRunning()) << "a run did not end";
    }
    void Recycle() {
        runs->StartRecycleRun();
        WaitForRuns();
    }
    void Backup() {
        runs->StartBackupRun();
        WaitForRuns();
    }

    // The calls as the table file holds them, in table order: "file label type".
    QStringList Saved() const {
        TVolgaTable t;
        t.SetTableName((globals.AppDataDir + "/Calls.d").toStdString());
        t.Open();
        QStringList calls;
        for (t.First(); !t.Eof(); t.Next())
            calls << QString::fromStdString(t.FieldByName("fileName").AsString() + " " +
                                            t.FieldByName("mediumLabel").AsString() + " " +
                                            t.FieldByName("mediumType").AsString());
        return calls;
    }
    // The log's messages without their times, from the last run's first line on.
    QStringList Messages() const {
        QStringList messages;
        for (const QString& line : log.Lines())
            messages << line.mid(line.indexOf("  (") + 3).chopped(1);
        const QStringList starts = messages.filter(T::kThreadId);
        return starts.isEmpty() ? messages : messages.mid(messages.lastIndexOf(starts.last()));
    }
    QStringList ThreadAlarms() const {
        QStringList texts;
        for (const TAlarm& a : TAlarmQueue::Instance().TakeAll())
            if (a.Type == TAlarm::Thread) texts << a.Msg;
        return texts;
    }
    bool InOperation() const { return channels[0].Operation && channels[1].Operation; }
    bool OutOfOperation() const { return !channels[0].Operation && !channels[1].Operation; }
    bool Recording(const QString& name) const {
        return QFileInfo(settings.edtFolder + name).isFile();
    }
    QString Area() const { return settings.edtbackupFolder; }

    const QString kMain = " Main storage medium 0";
    const QString kLabel = "2026-12-09 10:11:12";  // the test clock's now
    TChannelTable channels;
    TFailingWrites env;
    QString medium;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TStorageRuns> runs;
};

}  // namespace

TEST_F(StorageRunsTest, RecyclingDeletesTheOldestMainMediumCallsBelowThirtyPercent) {
    Open();
    File({{"moved.wav", 5000}, {"a.wav", 100}, {"b.wav", 150}, {"c.wav", 80}, {"d.wav", 670}});
    QFile::remove(settings.edtFolder + "moved.wav");
    SetMedium("moved.wav", "2026-01-05 09:00:00", 1);  // on a backup medium: never recycled
    globals.UsedSpaceKb = 1000;

    runs->StartRecycleRun();
    EXPECT_TRUE(runs->RecycleRunning());
    runs->StartRecycleRun();  // a second trigger while it runs starts nothing
    WaitForRuns();

    // Target 300: 100 and 250 are marked, 330 stops the walk.
    EXPECT_EQ(Saved(),
              (QStringList{"moved.wav 2026-01-05 09:00:00 1", "c.wav" + kMain, "d.wav" + kMain}));
    EXPECT_FALSE(Recording("a.wav") || Recording("b.wav"));
    EXPECT_TRUE(Recording("c.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 750);
    const QStringList m = Messages();
    EXPECT_EQ(log.Lines().filter(T::kThreadId).size(), 1);
    EXPECT_TRUE(QRegularExpression("^thread  id->[0-9A-F]{8}$").match(m[0]).hasMatch())
        << m[0].toStdString();
    EXPECT_EQ(m.mid(1), (QStringList{"Main storage size  1000", "recycle disk size  330",
                                     "recycle disk completed"}));
    EXPECT_TRUE(InOperation());
    EXPECT_TRUE(ThreadAlarms().isEmpty());
    EXPECT_FALSE(db->tblRecycle.Active());  // closed once no run walks it

    // Halves go to even: 30 % of 5 is 1.5 -> 2, of 15 is 4.5 -> 4.
    EXPECT_EQ(TrecycleHdd::Target(5), 2);
    EXPECT_EQ(TrecycleHdd::Target(15), 4);
}

// Marks left by an earlier run are deleted too; a recording that will not go (a folder stands
// where it was) keeps its call, back on the main medium, and its space.
TEST_F(StorageRunsTest, RecyclingFinishesEarlierMarksAndKeepsWhatWillNotGo) {
    Open();
    File({{"a.wav", 100}, {"b.wav", 150}, {"c.wav", 750}, {"d.wav", 200}, {"e.wav", 50}});
    // Marked by a run killed before it deleted them: not counted at this start.
    SetMedium("d.wav", T::kToBeDeleted, 0);
    SetMedium("e.wav", T::kToBeDeleted, 0);
    globals.UsedSpaceKb = db->SumUsedSpace();
    ASSERT_EQ(globals.UsedSpaceKb, 1000);
    for (const char* name : {"a.wav", "d.wav"}) {
        ASSERT_TRUE(QFile::remove(settings.edtFolder + name));
        ASSERT_TRUE(QDir().mkdir(settings.edtFolder + name));
    }

    Recycle();
    EXPECT_EQ(Saved(), (QStringList{"a.wav" + kMain, "c.wav" + kMain, "d.wav" + kMain}));
    EXPECT_FALSE(Recording("b.wav") || Recording("e.wav"));
    // b's 150 KiB are freed; a and d count as what they are again: on the main medium.
    EXPECT_EQ(globals.UsedSpaceKb, 1000 - 150 + 200);
    EXPECT_EQ(globals.UsedSpaceKb, db->SumUsedSpace());
    const QStringList m = Messages();
    EXPECT_TRUE(m.contains("error deleting file " + settings.edtFolder + "a.wav"));
    EXPECT_TRUE(m.contains("error deleting file " + settings.edtFolder + "d.wav"));
    EXPECT_EQ(m.last(), "recycle disk completed");
}

TEST_F(StorageRunsTest, AFailedSaveOfTheMarksEndsTheRunAndTheNextRunDeletesThem) {
    Open();
    File({{"a.wav", 100}, {"b.wav", 150}, {"c.wav", 80}, {"d.wav", 670}});
    env.Fail = true;
    Recycle();
    EXPECT_TRUE(OutOfOperation());
    const QStringList alarms = ThreadAlarms();
    ASSERT_EQ(alarms.size(), 1);
    EXPECT_TRUE(alarms[0].contains("No space left on device")) << alarms[0].toStdString();
    EXPECT_EQ(Messages().last(), alarms[0]);
    EXPECT_TRUE(Messages().filter(T::kRecycleDiskSize).isEmpty());  // nothing deleted
    EXPECT_TRUE(Recording("a.wav") && Recording("b.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 1000);

    env.Fail = false;
    SetOperation(true);
    Recycle();
    EXPECT_EQ(Saved(), (QStringList{"c.wav" + kMain, "d.wav" + kMain}));
    EXPECT_FALSE(Recording("a.wav") || Recording("b.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 750);
}

// With the area on another file system (/dev/shm) where there is one: moves copy, then delete.
TEST_F(StorageRunsTest, BackupMovesWhatFitsUnderTheCapacityAndLabelsItsArea) {
    const QString shm = "/dev/shm/pelm-runs-" + QString::number(QCoreApplication::applicationPid());
    if (QDir().mkpath(shm)) settings.edtbackupFolder = shm + "/area/";
    settings.speBackupCap = 1;
    Open();
    File({{"a.wav", 600}, {"b.wav", 500}});
    QDir().mkpath(Area());
    WriteFile(Area() + "label.txt", 30);  // a label alone: no batch to keep
    const auto label = [&] {
        QFile f(Area() + "label.txt");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    Backup();
    EXPECT_EQ(Saved(), (QStringList{"a.wav " + kLabel + " 1", "b.wav" + kMain}));
    EXPECT_FALSE(Recording("a.wav"));
    EXPECT_EQ(QFileInfo(Area() + "a.wav").size(), 600 * 1024);
    EXPECT_TRUE(Recording("b.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 500);
    EXPECT_EQ(label(), kLabel.toUtf8() + "\r\n");
    EXPECT_EQ(Messages().mid(1), (QStringList{"Deleting files in backup area...", "bakcupSize  600",
                                              "backup completed"}));
    EXPECT_TRUE(InOperation());
    EXPECT_TRUE(ThreadAlarms().isEmpty());

    // The first batch is copied to the medium; the next one, at midnight, has no time.
    QFile::copy(Area() + "a.wav", medium + "a.wav");
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    clock.now = QDateTime(QDate(2026, 12, 10), QTime(0, 0));
    Backup();
    EXPECT_FALSE(QFileInfo::exists(Area() + "a.wav"));
    EXPECT_EQ(QFileInfo(Area() + "b.wav").size(), 500 * 1024);
    EXPECT_EQ(Saved()[1], "b.wav 2026-12-10 1");
    EXPECT_EQ(label(), QByteArray("2026-12-10\r\n"));
    EXPECT_EQ(globals.UsedSpaceKb, 0);
    EXPECT_EQ(QDir(Area()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no leftover
    QDir(shm).removeRecursively();
}

TEST_F(StorageRunsTest, ABackupAreaNotOnTheMediumIsKeptAndNothingMoves) {
    Open();
    File({{"new.wav", 10}});
    QDir().mkpath(Area());
    WriteFile(Area() + "old.wav", 2048);
    WriteFile(Area() + "label.txt", 21);
    const auto keptWith = [&](const QString& missing) {
        EXPECT_TRUE(QFileInfo(Area() + "old.wav").isFile());
        EXPECT_TRUE(Recording("new.wav"));
        EXPECT_EQ(Saved(), QStringList{"new.wav" + kMain});
        EXPECT_EQ(globals.UsedSpaceKb, 10);
        EXPECT_TRUE(InOperation());
        const QString text = "backup area not copied to medium: " + missing;
        EXPECT_EQ(ThreadAlarms(), QStringList{text});
        EXPECT_EQ(Messages().mid(1), QStringList{text});
    };

    Backup();
    keptWith("old.wav");
    // A copy cut short is no copy, nor is the area itself.
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    WriteFile(medium + "old.wav", 1000);
    Backup();
    keptWith("old.wav");
    runs->BackupRoot = [this] { return Area(); };
    Backup();
    keptWith("old.wav");
    // The recording copied whole, but not its label.
    runs->BackupRoot = [this] { return medium; };
    QFile::remove(medium + "old.wav");
    QFile::remove(medium + "label.txt");
    QFile::copy(Area() + "old.wav", medium + "old.wav");
    Backup();
    keptWith("label.txt");

    // With its label the batch is on the medium: the area is cleared and the next batch goes.
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    Backup();
    EXPECT_FALSE(QFileInfo::exists(Area() + "old.wav"));
    EXPECT_TRUE(QFileInfo(Area() + "new.wav").isFile());
    EXPECT_EQ(Saved(), QStringList{"new.wav " + kLabel + " 1"});
}

TEST_F(StorageRunsTest, AFailedMoveStopsTheWalkAndUnmovedCallsStayOnTheMainMedium) {
    Open();
    File({{"gone.wav", 50}, {"a.wav", 100}, {"b.wav", 100}, {"c.wav", 100}});
    QFile::remove(settings.edtFolder + "gone.wav");  // keeps the label all the same
    ASSERT_TRUE(QDir().mkpath(Area() + "b.wav"));    // b cannot be moved there

    Backup();
    EXPECT_EQ(Saved(), (QStringList{"gone.wav " + kLabel + " 1", "a.wav " + kLabel + " 1",
                                    "b.wav" + kMain, "c.wav" + kMain}));
    EXPECT_TRUE(QFileInfo(Area() + "a.wav").isFile());
    EXPECT_TRUE(Recording("b.wav") && Recording("c.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 250);
    const QString text = "error moving file " + settings.edtFolder + "b.wav to " + Area();
    EXPECT_EQ(ThreadAlarms(), QStringList{text});
    EXPECT_EQ(
        Messages().mid(1),
        (QStringList{"bakcupSize  350", "file does not exists " + settings.edtFolder + "gone.wav",
                     text, "backup completed"}));
    EXPECT_TRUE(InOperation());
}

TEST_F(StorageRunsTest, AnAreaOrLabelThatCannotBeMadeTakesEveryChannelOutOfOperation) {
    Open();
    File({{"a.wav", 100}});
    WriteRecording("plain", 1);
    settings.edtbackupFolder = settings.edtFolder + "plain/backup/";
    Backup();
    const QString folderText = "Error creating " + Area();
    EXPECT_EQ(ThreadAlarms(), QStringList{folderText});
    EXPECT_EQ(Messages().mid(1), QStringList{folderText});
    EXPECT_TRUE(OutOfOperation());

    SetOperation(true);
    settings.edtbackupFolder = dir.path() + "/backup/";
    ASSERT_TRUE(QDir().mkpath(Area() + "label.txt"));
    Backup();
    const QString labelText = "Error creating " + Area() + "label.txt";
    EXPECT_EQ(ThreadAlarms(), QStringList{labelText});
    EXPECT_EQ(Messages().mid(1), QStringList{labelText});
    EXPECT_TRUE(OutOfOperation());
    EXPECT_EQ(Saved(), QStringList{"a.wav" + kMain});
    EXPECT_TRUE(Recording("a.wav"));
}

TEST_F(StorageRunsTest, TheMainThreadTicksAndFilesCallsWhileARunWalksThousandsOfCalls) {
    Open(2000);
    runs->MarkPauseMs = 1;
    runs->WalkPauseMs = 1;
    TDatasetModel model;
    model.SetDataset(&db->tblCalls, {{"Label", "mediumLabel"}, {"File", "fileName"}});
    db->CallsModel = &model;

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int ticks = 0, filed = 0;
    QTimer timer;
    timer.callOnTimeout([&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        if (++ticks % 20 == 0 && filed < 5 && runs->RecycleRunning())
            File({{QString("live_%1.wav").arg(filed++), 10}});
        for (int row = 0; row < model.rowCount(); row += 97)
            model.data(model.index(row, 1), Qt::DisplayRole);
    });
    sinceTick.start();
    timer.start(5);
    runs->StartRecycleRun();
    WaitForRuns(120000);
    timer.stop();

    EXPECT_EQ(filed, 5);
    EXPECT_LT(longestGap, 500) << "the main thread was held up";
    const QStringList calls = Saved();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(calls.contains(QString("live_%1.wav").arg(i) + kMain));
    EXPECT_LT(calls.size(), 2000);
    EXPECT_GT(calls.size(), 1000);
    EXPECT_EQ(model.rowCount(), calls.size());
    EXPECT_EQ(Messages().last(), "recycle disk completed");
    db->CallsModel = nullptr;
}

TEST_F(StorageRunsTest, TheExitDoesNotWaitForRunsToFinish) {
    Open(2000);
    runs->MarkPauseMs = 2;
    runs->WalkPauseMs = 10;
    runs->StartRecycleRun();
    runs->StartBackupRun();
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(runs->RecycleRunning() && runs->BackupRunning());

    elapsed.restart();
    runs->Shutdown();
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_FALSE(runs->RecycleRunning() || runs->BackupRunning());
    runs->StartRecycleRun();  // nothing starts once the program is ending
    EXPECT_FALSE(runs->RecycleRunning());
}
