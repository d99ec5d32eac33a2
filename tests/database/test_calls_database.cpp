// The calls database: creating the tables, filing calls, used space, deletions and copies.
#include <QFileInfo>
#include <QSignalSpy>

#include "DatabaseFixture.h"
#include "TChannelTable.h"
#include "TVolgaTable.h"
#include "TfmPelmorantDB.h"

namespace {

class CallsDatabaseTest : public DatabaseFixture {
protected:
    std::unique_ptr<TfmPelmorantDB> OpenDb() {
        auto db = std::make_unique<TfmPelmorantDB>(globals, settings);
        EXPECT_TRUE(db->OpenDatabase());
        return db;
    }
    Tchannel Call(int number, const QString& file) {
        Tchannel c;
        c.Number = number;
        TDateTime day = ToDateTime(QDateTime(clock.now.date(), QTime(0, 0)));
        c.StartTime = day + (10 * 3600 + 5) / 86400.0;
        c.StopTime = day + (10 * 3600 + 65) / 86400.0;
        c.InOut = 1;
        c.Dtmf = "9012345";
        c.CallerId = "555123";
        c.CallerName = "Ann Smith";
        c.FileName = file;
        return c;
    }
    std::string Field(TVolgaTable& t, const char* name) { return t.FieldByName(name).AsString(); }
};

}  // namespace

TEST_F(CallsDatabaseTest, FirstStartCreatesTablesAndMainFolder) {
    auto db = OpenDb();
    for (const char* f : {"Calls.d", "Channels.d", "Alarms.d", "Tree.d"})
        EXPECT_TRUE(QFileInfo::exists(globals.AppDataDir + "/" + f)) << f;
    ASSERT_EQ(db->Tree.Count(), 1);
    EXPECT_EQ(db->Tree.NodeAt(0)->text(), "Main");
    EXPECT_EQ(db->MainFolderId.size(), 8);
    EXPECT_EQ(db->tblCalls.FieldCount(), 26 + 2);  // two calculated fields
    EXPECT_EQ(db->tblChannels.Cursor()->FieldCount(), 10 + 28 + 16);
    QString mainId = db->MainFolderId;
    db.reset();
    auto again = OpenDb();
    EXPECT_EQ(again->MainFolderId, mainId);
    EXPECT_EQ(again->Tree.Count(), 1);
}

TEST_F(CallsDatabaseTest, AddCallFieldByField) {
    settings.cbxPostByDate = false;
    settings.cbxTrimDigits = true;
    settings.edtTrimDigits = "9";
    WriteRecording("1_20261209_100005.wav", 1536);
    auto db = OpenDb();
    db->AddCall(Call(1, "1_20261209_100005.wav"));
    TVolgaTable& t = db->tblCalls;
    t.SetFiltered(false);
    ASSERT_EQ(t.RecordCount(), 1);
    t.First();
    EXPECT_EQ(Field(t, "callID").size(), 8u);
    EXPECT_EQ(t.FieldByName("Channel").AsInteger(), 1);
    EXPECT_EQ(Field(t, "FolderId"), db->MainFolderId.toStdString());
    EXPECT_EQ(Field(t, "Date"), "2026-12-09");
    EXPECT_EQ(Field(t, "startTime"), "10:00:05");
    EXPECT_EQ(Field(t, "stopTime"), "10:01:05");
    EXPECT_EQ(t.FieldByName("duration").DisplayText(), "00:01:00");
    EXPECT_EQ(Field(t, "callDir"), "Outbound");
    EXPECT_EQ(Field(t, "dtmf"), "012345");
    EXPECT_EQ(Field(t, "callerID"), "555123");
    EXPECT_EQ(Field(t, "Memo"), "Ann Smith");
    EXPECT_EQ(Field(t, "mediumLabel"), "Main storage medium");
    EXPECT_EQ(t.FieldByName("mediumType").AsInteger(), 0);
    EXPECT_EQ(Field(t, "fileName"), "1_20261209_100005.wav");
    EXPECT_EQ(t.FieldByName("fileSize").AsInteger(), 2);
    EXPECT_FALSE(t.FieldByName("bool3").AsBoolean());
    EXPECT_EQ(Field(t, "st2"), " ");
    EXPECT_EQ(t.FieldByName("real4").AsFloat(), 0.0);
    EXPECT_EQ(globals.UsedSpaceKb.load(), 2);
    // Written to the file at once.
    TVolgaDatabase other;
    other.SetDatabasePath(globals.AppDataDir.toStdString());
    TVolgaTable check(&other);
    check.SetTableName("Calls.d");
    check.Open();
    EXPECT_EQ(check.RecordCount(), 1);
}

TEST_F(CallsDatabaseTest, CallerCodesTrimmingMemoAndSmdr) {
    settings.cbxPostByDate = false;
    settings.cbxTrimDigits = true;
    settings.edtTrimDigits = "90";
    auto db = OpenDb();
    TVolgaTable& t = db->tblCalls;
    auto add = [&](Tchannel c) {
        db->AddCall(c);
        t.SetFiltered(false);
        t.Last();
    };
    WriteRecording("a.wav", 10);
    Tchannel c = Call(0, "a.wav");
    c.Dtmf = "90";  // equal to the prefix: empty
    c.CallerId = "P";
    add(c);
    EXPECT_EQ(Field(t, "dtmf"), "");
    EXPECT_EQ(Field(t, "callerID"), "PRIVATE NUMBER");
    c.Dtmf = "1290";  // the prefix later in the digits stays
    c.CallerId = "O";
    add(c);
    EXPECT_EQ(Field(t, "dtmf"), "1290");
    EXPECT_EQ(Field(t, "callerID"), "LONG DISTANCE");
    c.CallerId = "PX";
    c.CallerName = "";
    add(c);
    EXPECT_EQ(Field(t, "callerID"), "PX");
    EXPECT_EQ(Field(t, "Memo"), " ");
    settings.cbxSaveCallerName = false;
    c.CallerName = "Bob";
    add(c);
    EXPECT_EQ(Field(t, "Memo"), " ");
    settings.cbxRecordCalls = 3;  // SMDR: no file is read
    c.FileName = "does-not-exist.wav";
    add(c);
    EXPECT_EQ(Field(t, "fileName"), "SMDR");
    EXPECT_EQ(t.FieldByName("fileSize").AsInteger(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(globals.SoftErrorText().isEmpty());
}

TEST_F(CallsDatabaseTest, FileSizeRounding) {
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(1536), 2);
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(2560), 2);  // halves to even
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(3584), 4);
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(511), 0);
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(513), 1);
    EXPECT_EQ(TfmPelmorantDB::RoundFileSizeKb(0), 0);
}

TEST_F(CallsDatabaseTest, UnreadableRecordingStillFiledAndChannelLeavesOperation) {
    settings.cbxPostByDate = false;
    auto db = OpenDb();
    QSignalSpy lost(db.get(), &TfmPelmorantDB::operationLost);
    int alarms = 0;
    db->SoftwareErrorAlarm = [&](int channel) {
        EXPECT_EQ(channel, 1);
        ++alarms;
    };
    db->AddCall(Call(1, "missing.wav"));
    db->tblCalls.SetFiltered(false);
    ASSERT_EQ(db->tblCalls.RecordCount(), 1);
    EXPECT_EQ(db->tblCalls.FieldByName("fileSize").AsInteger(), 0);
    EXPECT_EQ(globals.SoftErrorText(), "round(fileSizeByName");
    EXPECT_TRUE(log.Lines().last().endsWith("(round(fileSizeByName)"));
    EXPECT_EQ(alarms, 1);
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.at(0).at(0).toInt(), 1);
}

TEST_F(CallsDatabaseTest, PerDateFilingCreatesOnlyWhatIsMissing) {
    auto db = OpenDb();
    WriteRecording("a.wav", 100);
    db->AddCall(Call(0, "a.wav"));
    // Main > 2026 > December 2026 > 2026-12-09
    ASSERT_EQ(db->Tree.Count(), 4);
    QStandardItem* date = db->Tree.NodeAt(3);
    EXPECT_EQ(TFolderTree::Level(date), 3);
    EXPECT_EQ(date->text(), "2026-12-09");
    EXPECT_EQ(db->DateInUse.FolderId, TFolderTree::FolderId(date));
    EXPECT_EQ(db->tblTree.RecordCount(), 4);  // stored at once
    // Same day again: nothing new.
    db->AddCall(Call(0, "a.wav"));
    EXPECT_EQ(db->Tree.Count(), 4);
    // Next day: only the date folder, as the last child of the month folder.
    clock.now = clock.now.addDays(1);
    db->AddCall(Call(0, "a.wav"));
    ASSERT_EQ(db->Tree.Count(), 5);
    EXPECT_EQ(db->Tree.NodeAt(4)->text(), "2026-12-10");
    EXPECT_EQ(db->Tree.NodeAt(4)->parent(), db->Tree.NodeAt(2));
    // A year folder written with blanks is still that year; the user's own folders after it
    // get no date folders.
    clock.now = QDateTime(QDate(2027, 1, 2), QTime(9, 0));
    QStandardItem* main = db->Tree.NodeAt(0);
    db->Tree.AddChild(main, " 2027 ", "Y27");
    db->Tree.AddChild(main, "Customers", "CUST");
    db->AddCall(Call(0, "a.wav"));
    QStandardItem* y27 = nullptr;
    for (QStandardItem* n : db->Tree.Nodes())
        if (TFolderTree::FolderId(n) == "Y27") y27 = n;
    ASSERT_NE(y27, nullptr);
    ASSERT_EQ(y27->rowCount(), 1);
    EXPECT_EQ(y27->child(0)->child(0)->text(), "2027-01-02");
    for (QStandardItem* n : db->Tree.Nodes())
        if (TFolderTree::FolderId(n) == "CUST") {
            EXPECT_EQ(n->rowCount(), 0);
        }
}

TEST_F(CallsDatabaseTest, DeletingRemovesRecordingAndLowersUsedSpace) {
    settings.cbxPostByDate = false;
    auto db = OpenDb();
    WriteRecording("keep.wav", 4096);
    WriteRecording("gone.wav", 2048);
    db->AddCall(Call(0, "keep.wav"));
    db->AddCall(Call(0, "gone.wav"));
    EXPECT_EQ(globals.UsedSpaceKb.load(), 6);
    TVolgaTable& t = db->tblCalls;
    t.SetFiltered(false);
    ASSERT_TRUE(t.Locate("fileName", TVolgaValue("keep.wav")));
    t.Delete();
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "keep.wav"));
    EXPECT_EQ(globals.UsedSpaceKb.load(), 2);
    // A missing file: the record goes all the same, the used space still drops.
    QFile::remove(settings.edtFolder + "gone.wav");
    t.First();
    t.Delete();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(globals.UsedSpaceKb.load(), 0);
}

TEST_F(CallsDatabaseTest, HostileFileNameIsNeverFollowed) {
    settings.cbxPostByDate = false;
    auto db = OpenDb();
    QFile outside(dir.path() + "/precious.txt");
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("keep me");
    outside.close();
    TVolgaTable& t = db->tblCalls;
    t.Append();
    t.FieldByName("callID").SetAsString("EVIL0001");
    t.FieldByName("fileName").SetAsString("../precious.txt");
    t.FieldByName("fileSize").SetAsInteger(3);
    t.Post();
    t.SetFiltered(false);
    ASSERT_TRUE(t.Locate("callID", TVolgaValue("EVIL0001")));
    t.Delete();
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/precious.txt"));
    EXPECT_TRUE(log.Lines().last().contains("unsafe file name ../precious.txt"));
    EXPECT_EQ(db->RecordingPath("../x.wav"), QString());
    EXPECT_EQ(db->RecordingPath("a/b.wav"), QString());
    EXPECT_EQ(db->RecordingPath("0_20261209_101112.wav"),
              settings.edtFolder + "0_20261209_101112.wav");
}

TEST_F(CallsDatabaseTest, SumUsedSpaceCountsMainMediumOnly) {
    settings.cbxPostByDate = false;
    auto db = OpenDb();
    WriteRecording("a.wav", 10240);
    db->AddCall(Call(0, "a.wav"));
    db->AddCall(Call(0, "a.wav"));
    TVolgaTable& t = db->tblCalls;
    t.SetFiltered(false);
    t.First();
    t.Edit();
    t.FieldByName("mediumLabel").SetAsString("Backup 1");
    t.Post();
    EXPECT_EQ(db->SumUsedSpace(), 10);
}

TEST_F(CallsDatabaseTest, BackupCopiesTheTableFiles) {
    auto db = OpenDb();
    db->BackupDatabaseFiles();
    for (const char* f : {"Channels.d", "Calls.d", "Alarms.d", "Tree.d"})
        EXPECT_TRUE(QFileInfo::exists(globals.AppDataDir + "/backupDB/" + f)) << f;
    EXPECT_FALSE(QFileInfo::exists(globals.AppDataDir + "/backupDB/Filtered.d"));
}

// A tree table that cannot be read is kept aside with the engine's reason, and a tree with Main
// takes its place (the program tells the user once, after the calls are recovered).
TEST_F(CallsDatabaseTest, CorruptTreeTableIsKeptAsideAndReplaced) {
    { auto db = OpenDb(); }
    QFile f(globals.AppDataDir + "/Tree.d");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("garbage");
    f.close();
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    ASSERT_EQ(db.Salvaged.size(), 1);
    EXPECT_TRUE(db.Salvaged.first().Reason.contains("Buffer structure corruption!"));
    QFile kept(db.Salvaged.first().KeptAs);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "garbage");
    EXPECT_TRUE(db.tblTree.Active());
    EXPECT_EQ(db.Tree.NodeAt(0)->text(), "Main");
    EXPECT_TRUE(db.SalvageReport(0).join('\n').contains(db.Salvaged.first().KeptAs));
}

TEST_F(CallsDatabaseTest, SearchQueryShowsFolderAndDeletesRecordingOnly) {
    auto db = OpenDb();
    WriteRecording("s.wav", 2048);
    db->AddCall(Call(0, "s.wav"));
    TVolgaQuery& q = db->queSearch;
    q.SetSQL("SELECT * FROM calls WHERE calls.channel = 0");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("duration").AsString(), "00:01:00");
    EXPECT_EQ(q.FieldByName("callDir").AsString(), "Outbound");
    EXPECT_EQ(q.FieldByName("Folder").AsString(), "2026-12-09");  // per-date folder's text
    int used = globals.UsedSpaceKb.load();
    q.Delete();
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "s.wav"));
    EXPECT_EQ(globals.UsedSpaceKb.load(), used);  // the search does not change the used space
    q.SaveChanges();
    db->tblCalls.Close();  // reopened, as the browsing layer does after a search change
    db->tblCalls.Open();
    db->tblCalls.SetFiltered(false);
    EXPECT_EQ(db->tblCalls.RecordCount(), 0);
}
