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
#include "TStorageRuns.h"
#include "TVolgaEnv.h"
#include "TfmPelmorantDB.h"
#include "TrecycleHdd.h"

namespace T = SupervisionTexts;

namespace {

// Table writes fail while `Fail` is set (a full disk).
class FailingWrites : public TVolgaEnv {
public:
    std::atomic<bool> Fail{false};
    bool WriteFileAtomic(const std::string& path, std::string_view data,
                         std::string& error) override {
        if (Fail) {
            error = "No space left on device";
            return false;
        }
        return TVolgaEnv::Default()->WriteFileAtomic(path, data, error);
    }
};

struct SavedCall {
    QString File;
    QString Label;
    int Type = 0;
    int SizeKb = 0;
};

class StorageRunsTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        TAlarmQueue::Instance().SetEnabled(true);
        TAlarmQueue::Instance().TakeAll();
        channels.InitChannels(2);
        for (int n = 0; n < channels.Count(); ++n) channels[n].Operation = true;
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

    void Open() {
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        db->dbPelmorant.Env = &env;
        runs = std::make_unique<TStorageRuns>(*db, settings, globals, channels);
        runs->MarkPauseMs = 0;
        runs->WalkPauseMs = 0;
        runs->BackupRoot = [this] { return medium; };
    }
    // A Calls table of `count` generated calls (no recordings), used space summed as at a start.
    void OpenGenerated(int count) {
        std::ofstream(globals.AppDataDir.toStdString() + "/Calls.d", std::ios::binary)
            << callsgen::CallsImage(count);
        Open();
        globals.UsedSpaceKb = db->SumUsedSpace();
    }

    static void WriteFile(const QString& path, qint64 bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
    }
    // Files a call whose recording has `kb` KiB.
    void File(const QString& name, int kb) {
        WriteRecording(name, kb * 1024LL);
        Tchannel c;
        c.StartTime = NowDateTime();
        c.StopTime = c.StartTime + 30 / 86400.0;
        c.FileName = name;
        db->AddCall(c);
    }
    // Gives the call of a recording other medium fields, saved.
    void SetMedium(const QString& name, const QString& label, int type) {
        TVolgaTable& t = db->tblCalls;
        const int field = t.FieldByName("fileName").FieldNo();
        for (int row = 0; row < t.RecordCount(); ++row) {
            if (QString::fromStdString(t.TextAt(row, field)) != name) continue;
            t.SetRecNo(row + 1);
            t.Edit();
            t.FieldByName("mediumLabel").SetAsString(label.toStdString());
            t.FieldByName("mediumType").SetAsInteger(type);
            t.Post();
            t.SaveChanges();
            return;
        }
        ADD_FAILURE() << "no call of " << name.toStdString();
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

    // The Calls table as its file holds it, in table order.
    std::vector<SavedCall> Saved() const {
        TVolgaTable t;
        t.SetTableName((globals.AppDataDir + "/Calls.d").toStdString());
        t.Open();
        std::vector<SavedCall> calls;
        for (t.First(); !t.Eof(); t.Next())
            calls.push_back({QString::fromStdString(t.FieldByName("fileName").AsString()),
                             QString::fromStdString(t.FieldByName("mediumLabel").AsString()),
                             static_cast<int>(t.FieldByName("mediumType").AsInteger()),
                             static_cast<int>(t.FieldByName("fileSize").AsInteger())});
        return calls;
    }
    QStringList SavedFiles() const {
        QStringList files;
        for (const SavedCall& c : Saved()) files << c.File;
        return files;
    }
    // The log's messages without their times.
    QStringList Messages() const {
        QStringList messages;
        for (const QString& line : log.Lines()) {
            const int open = line.indexOf("  (");
            messages << line.mid(open + 3).chopped(1);
        }
        return messages;
    }
    QStringList ThreadAlarms() const {
        QStringList texts;
        for (const TAlarm& a : TAlarmQueue::Instance().TakeAll())
            if (a.Type == TAlarm::Thread) texts << a.Msg;
        return texts;
    }
    bool AllInOperation() const { return channels[0].Operation && channels[1].Operation; }
    bool NoneInOperation() const { return !channels[0].Operation && !channels[1].Operation; }
    bool Recording(const QString& name) const {
        return QFileInfo(settings.edtFolder + name).isFile();
    }
    QString Area() const { return settings.edtbackupFolder; }
    QString Label() const { return "2026-12-09 10:11:12"; }

    TChannelTable channels;
    FailingWrites env;
    QString medium;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TStorageRuns> runs;
};

}  // namespace

TEST_F(StorageRunsTest, RecyclingDeletesTheOldestMainMediumCallsBelowThirtyPercent) {
    Open();
    File("moved.wav", 5000);
    QFile::remove(settings.edtFolder + "moved.wav");
    SetMedium("moved.wav", "2026-01-05 09:00:00", 1);  // on a backup medium: never recycled
    File("a.wav", 100);
    File("b.wav", 150);
    File("c.wav", 80);
    File("d.wav", 670);
    globals.UsedSpaceKb = db->SumUsedSpace();
    ASSERT_EQ(globals.UsedSpaceKb, 1000);

    runs->StartRecycleRun();
    EXPECT_TRUE(runs->RecycleRunning());
    runs->StartRecycleRun();  // a second trigger while it runs starts nothing
    WaitForRuns();

    // Target 300: 100 and 250 are marked, 330 stops the walk.
    EXPECT_EQ(SavedFiles(), (QStringList{"moved.wav", "c.wav", "d.wav"}));
    EXPECT_FALSE(Recording("a.wav"));
    EXPECT_FALSE(Recording("b.wav"));
    EXPECT_TRUE(Recording("c.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 750);
    const QStringList m = Messages();
    ASSERT_EQ(m.filter(T::kThreadId).size(), 1);
    EXPECT_TRUE(QRegularExpression("^thread  id->[0-9A-F]{8}$")
                    .match(m.filter(T::kThreadId)[0])
                    .hasMatch());
    const int first = m.indexOf(m.filter(T::kThreadId)[0]);
    EXPECT_EQ(m.mid(first + 1), (QStringList{"Main storage size  1000", "recycle disk size  330",
                                             "recycle disk completed"}));
    EXPECT_TRUE(AllInOperation());
    EXPECT_TRUE(ThreadAlarms().isEmpty());
    // The runs' cursor is closed once no run walks it.
    EXPECT_FALSE(db->tblRecycle.Active());

    // Halves go to even: 30 % of 5 is 1.5 -> 2, of 15 is 4.5 -> 4.
    EXPECT_EQ(TrecycleHdd::Target(5), 2);
    EXPECT_EQ(TrecycleHdd::Target(15), 4);
    EXPECT_EQ(TrecycleHdd::Target(7), 2);
}

TEST_F(StorageRunsTest, RecyclingDeletesRecordsAnEarlierRunLeftMarked) {
    Open();
    File("a.wav", 100);
    File("b.wav", 150);
    File("c.wav", 80);
    File("d.wav", 670);
    // Marked by a run that was killed before it deleted it; not counted at this start.
    SetMedium("d.wav", T::kToBeDeleted, 0);
    globals.UsedSpaceKb = db->SumUsedSpace();
    ASSERT_EQ(globals.UsedSpaceKb, 330);

    Recycle();
    // Target 99: the first call already reaches it, so nothing new is marked.
    EXPECT_EQ(SavedFiles(), (QStringList{"a.wav", "b.wav", "c.wav"}));
    EXPECT_FALSE(Recording("d.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 330);
    EXPECT_TRUE(Messages().contains("recycle disk size  100"));
}

TEST_F(StorageRunsTest, ARecordingThatWillNotGoKeepsItsCallAndItsSpace) {
    Open();
    File("a.wav", 100);
    File("b.wav", 150);
    File("c.wav", 750);
    File("d.wav", 200);
    SetMedium("d.wav", T::kToBeDeleted, 0);  // left by an earlier run, not counted
    globals.UsedSpaceKb = db->SumUsedSpace();
    ASSERT_EQ(globals.UsedSpaceKb, 1000);
    // Recordings that cannot be removed: folders stand where the files were.
    for (const char* name : {"a.wav", "d.wav"}) {
        ASSERT_TRUE(QFile::remove(settings.edtFolder + name));
        ASSERT_TRUE(QDir().mkdir(settings.edtFolder + name));
    }

    Recycle();
    const std::vector<SavedCall> calls = Saved();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].File, "a.wav");
    EXPECT_EQ(calls[0].Label, "Main storage medium");
    EXPECT_EQ(calls[1].File, "c.wav");
    EXPECT_EQ(calls[2].File, "d.wav");
    EXPECT_EQ(calls[2].Label, "Main storage medium");
    EXPECT_FALSE(Recording("b.wav"));
    // b's 150 KiB are freed; a and d count as what they are: recordings on the main medium.
    EXPECT_EQ(globals.UsedSpaceKb, 1000 - 150 + 200);
    EXPECT_EQ(globals.UsedSpaceKb, db->SumUsedSpace());
    const QStringList m = Messages();
    EXPECT_TRUE(m.contains("error deleting file " + settings.edtFolder + "a.wav"));
    EXPECT_TRUE(m.contains("error deleting file " + settings.edtFolder + "d.wav"));
    EXPECT_TRUE(m.contains("recycle disk completed"));
}

TEST_F(StorageRunsTest, AFailedSaveOfTheMarksEndsTheRunAndTheNextRunDeletesThem) {
    Open();
    File("a.wav", 100);
    File("b.wav", 150);
    File("c.wav", 80);
    File("d.wav", 670);
    globals.UsedSpaceKb = 1000;

    env.Fail = true;
    Recycle();
    EXPECT_TRUE(NoneInOperation());
    const QStringList alarms = ThreadAlarms();
    ASSERT_EQ(alarms.size(), 1);
    EXPECT_TRUE(alarms[0].contains("No space left on device")) << alarms[0].toStdString();
    EXPECT_TRUE(Messages().contains(alarms[0]));
    EXPECT_TRUE(Messages().filter(T::kRecycleDiskSize).isEmpty());
    // Nothing was deleted; the marks stay on the records in memory.
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) EXPECT_TRUE(Recording(name));
    EXPECT_EQ(globals.UsedSpaceKb, 1000);

    env.Fail = false;
    for (int n = 0; n < channels.Count(); ++n) channels[n].Operation = true;
    Recycle();
    EXPECT_EQ(SavedFiles(), (QStringList{"c.wav", "d.wav"}));
    EXPECT_FALSE(Recording("a.wav"));
    EXPECT_FALSE(Recording("b.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 750);
    EXPECT_TRUE(AllInOperation());
}

TEST_F(StorageRunsTest, BackupMovesWhatFitsUnderTheCapacityAndLabelsItsArea) {
    settings.speBackupCap = 1;
    Open();
    File("a.wav", 600);
    File("b.wav", 500);
    globals.UsedSpaceKb = 1100;
    QDir().mkpath(Area());
    WriteFile(Area() + "label.txt", 30);  // a label alone: no batch to keep

    Backup();
    const std::vector<SavedCall> calls = Saved();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Label, Label());
    EXPECT_EQ(calls[0].Type, 1);
    EXPECT_EQ(calls[1].Label, "Main storage medium");
    EXPECT_EQ(calls[1].Type, 0);
    EXPECT_FALSE(Recording("a.wav"));
    EXPECT_TRUE(QFileInfo(Area() + "a.wav").isFile());
    EXPECT_EQ(QFileInfo(Area() + "a.wav").size(), 600 * 1024);
    EXPECT_TRUE(Recording("b.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 500);
    QFile label(Area() + "label.txt");
    ASSERT_TRUE(label.open(QIODevice::ReadOnly));
    EXPECT_EQ(label.readAll(), Label().toUtf8() + "\r\n");
    const QStringList m = Messages();
    ASSERT_EQ(m.filter(T::kThreadId).size(), 1);
    const int first = m.indexOf(m.filter(T::kThreadId)[0]);
    EXPECT_EQ(m.mid(first + 1), (QStringList{"Deleting files in backup area...", "bakcupSize  600",
                                             "backup completed"}));
    EXPECT_TRUE(AllInOperation());
    EXPECT_TRUE(ThreadAlarms().isEmpty());

    // The next batch, at midnight: the label has no time. The first batch is on the medium.
    QFile::copy(Area() + "a.wav", medium + "a.wav");
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    clock.now = QDateTime(QDate(2026, 12, 10), QTime(0, 0));
    Backup();
    EXPECT_FALSE(QFileInfo::exists(Area() + "a.wav"));
    EXPECT_TRUE(QFileInfo(Area() + "b.wav").isFile());
    EXPECT_EQ(Saved()[1].Label, "2026-12-10");
    label.close();
    ASSERT_TRUE(label.open(QIODevice::ReadOnly));
    EXPECT_EQ(label.readAll(), QByteArray("2026-12-10\r\n"));
    EXPECT_EQ(globals.UsedSpaceKb, 0);
}

TEST_F(StorageRunsTest, ABackupAreaNotOnTheMediumIsKeptAndNothingMoves) {
    Open();
    File("new.wav", 10);
    globals.UsedSpaceKb = 10;
    QDir().mkpath(Area());
    WriteFile(Area() + "old.wav", 2048);
    WriteFile(Area() + "label.txt", 21);
    const auto untouched = [&] {
        EXPECT_TRUE(QFileInfo(Area() + "old.wav").isFile());
        EXPECT_TRUE(Recording("new.wav"));
        EXPECT_EQ(Saved()[0].Type, 0);
        EXPECT_EQ(globals.UsedSpaceKb, 10);
        EXPECT_TRUE(AllInOperation());
    };

    // Not on the medium at all.
    Backup();
    untouched();
    EXPECT_EQ(ThreadAlarms(), QStringList{"backup area not copied to medium: old.wav"});
    EXPECT_TRUE(Messages().contains("backup area not copied to medium: old.wav"));
    EXPECT_FALSE(Messages().contains("Deleting files in backup area..."));

    // A copy cut short, and the medium being the area itself, are no copies.
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    WriteFile(medium + "old.wav", 1000);
    Backup();
    untouched();
    runs->BackupRoot = [this] { return Area(); };
    Backup();
    untouched();
    runs->BackupRoot = [] { return QString(); };  // no such volume
    Backup();
    untouched();
    EXPECT_EQ(ThreadAlarms().size(), 3);

    // Copied whole (but without its label): still kept.
    runs->BackupRoot = [this] { return medium; };
    QFile::remove(medium + "old.wav");
    QFile::remove(medium + "label.txt");
    QFile::copy(Area() + "old.wav", medium + "old.wav");
    Backup();
    untouched();
    EXPECT_EQ(ThreadAlarms(), QStringList{"backup area not copied to medium: label.txt"});

    // With its label the batch is on the medium: the area is cleared and the next batch goes.
    QFile::copy(Area() + "label.txt", medium + "label.txt");
    Backup();
    EXPECT_FALSE(QFileInfo::exists(Area() + "old.wav"));
    EXPECT_TRUE(QFileInfo(Area() + "new.wav").isFile());
    EXPECT_EQ(Saved()[0].Type, 1);
    EXPECT_TRUE(ThreadAlarms().isEmpty());
}

TEST_F(StorageRunsTest, AFailedMoveStopsTheWalkAndUnmovedCallsStayOnTheMainMedium) {
    Open();
    File("a.wav", 100);
    File("b.wav", 100);
    File("c.wav", 100);
    globals.UsedSpaceKb = 300;
    // Something of that name already in the area: b's move cannot go there.
    ASSERT_TRUE(QDir().mkpath(Area() + "b.wav"));

    Backup();
    const std::vector<SavedCall> calls = Saved();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Label, Label());
    EXPECT_EQ(calls[0].Type, 1);
    for (int i : {1, 2}) {
        EXPECT_EQ(calls[i].Label, "Main storage medium");
        EXPECT_EQ(calls[i].Type, 0);
    }
    EXPECT_TRUE(QFileInfo(Area() + "a.wav").isFile());
    EXPECT_TRUE(Recording("b.wav"));
    EXPECT_TRUE(Recording("c.wav"));
    EXPECT_EQ(globals.UsedSpaceKb, 200);
    const QString text = "error moving file " + settings.edtFolder + "b.wav to " + Area();
    EXPECT_EQ(ThreadAlarms(), QStringList{text});
    const QStringList m = Messages();
    EXPECT_TRUE(m.contains("bakcupSize  300"));
    EXPECT_TRUE(m.contains(text));
    EXPECT_EQ(m.last(), "backup completed");
    EXPECT_TRUE(AllInOperation());
}

TEST_F(StorageRunsTest, MissingRecordingsAndMovesOntoAnotherVolume) {
    // The area on another file system when /dev/shm is one (the move copies, then deletes).
    const QString shm = "/dev/shm/pelm-runs-" + QString::number(QCoreApplication::applicationPid());
    const bool otherVolume = QDir().mkpath(shm);
    if (otherVolume) settings.edtbackupFolder = shm + "/area/";
    Open();
    File("gone.wav", 100);
    File("here.wav", 200);
    QFile::remove(settings.edtFolder + "gone.wav");
    globals.UsedSpaceKb = 300;

    Backup();
    EXPECT_TRUE(Messages().contains("file does not exists " + settings.edtFolder + "gone.wav"));
    const std::vector<SavedCall> calls = Saved();
    EXPECT_EQ(calls[0].Label, Label());  // it keeps the label of the run
    EXPECT_EQ(calls[1].Label, Label());
    EXPECT_FALSE(Recording("here.wav"));
    EXPECT_EQ(QFileInfo(Area() + "here.wav").size(), 200 * 1024);
    EXPECT_TRUE(QDir(Area()).entryList(QDir::Files | QDir::Hidden).size() == 2);  // no leftovers
    EXPECT_EQ(globals.UsedSpaceKb, 100);
    if (otherVolume) QDir(shm).removeRecursively();
}

TEST_F(StorageRunsTest, AnAreaOrLabelThatCannotBeMadeTakesEveryChannelOutOfOperation) {
    Open();
    File("a.wav", 100);
    globals.UsedSpaceKb = 100;
    WriteRecording("plain", 1);
    settings.edtbackupFolder = settings.edtFolder + "plain/backup/";
    Backup();
    const QString folderText = "Error creating " + settings.edtbackupFolder;
    EXPECT_EQ(ThreadAlarms(), QStringList{folderText});
    EXPECT_TRUE(Messages().contains(folderText));
    EXPECT_TRUE(NoneInOperation());
    EXPECT_EQ(Saved()[0].Type, 0);

    for (int n = 0; n < channels.Count(); ++n) channels[n].Operation = true;
    settings.edtbackupFolder = dir.path() + "/backup/";
    ASSERT_TRUE(QDir().mkpath(Area() + "label.txt"));
    Backup();
    const QString labelText = "Error creating " + Area() + "label.txt";
    EXPECT_EQ(ThreadAlarms(), QStringList{labelText});
    EXPECT_TRUE(Messages().contains(labelText));
    EXPECT_TRUE(NoneInOperation());
    EXPECT_EQ(Saved()[0].Type, 0);
    EXPECT_TRUE(Recording("a.wav"));
}

TEST_F(StorageRunsTest, TheMainThreadTicksAndFilesCallsWhileARunWalksThousandsOfCalls) {
    OpenGenerated(2000);
    runs->MarkPauseMs = 1;
    runs->WalkPauseMs = 1;
    const int before = db->tblCalls.RecordCount();
    TDatasetModel model;
    model.SetDataset(&db->tblCalls, {{"Label", "mediumLabel"}, {"File", "fileName"}});
    db->CallsModel = &model;

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int ticks = 0, filed = 0;
    QTimer timer;
    timer.callOnTimeout([&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        ++ticks;
        if (ticks % 20 == 0 && filed < 5 && runs->RecycleRunning())
            File(QString("live_%1.wav").arg(filed++), 10);
        for (int row = 0; row < model.rowCount(); row += 97)
            model.data(model.index(row, 1), Qt::DisplayRole);
    });
    sinceTick.start();
    timer.start(5);
    runs->StartRecycleRun();
    WaitForRuns(120000);
    timer.stop();

    EXPECT_EQ(filed, 5);
    EXPECT_GT(ticks, 20);
    EXPECT_LT(longestGap, 500) << "the main thread was held up";
    const QStringList files = SavedFiles();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(files.contains(QString("live_%1.wav").arg(i)));
    EXPECT_LT(files.size(), before);
    EXPECT_GT(files.size(), before / 2);
    EXPECT_EQ(model.rowCount(), files.size());
    EXPECT_TRUE(Messages().contains("recycle disk completed"));
    db->CallsModel = nullptr;
}

TEST_F(StorageRunsTest, TheExitDoesNotWaitForRunsToFinish) {
    OpenGenerated(2000);
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
    EXPECT_FALSE(Messages().contains("recycle disk completed"));

    // And a runs object destroyed in the middle of a run joins it as well.
    runs = std::make_unique<TStorageRuns>(*db, settings, globals, channels);
    runs->StartRecycleRun();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    elapsed.restart();
    runs.reset();
    EXPECT_LT(elapsed.elapsed(), 1000);
}
