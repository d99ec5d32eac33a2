// The file actions without a window: the enabled states for no records, an "SMDR" row and an
// ordinary row; the memo rules; deleting with the recordings; the search view's rows standing
// for Calls records by callID.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "BrowsingTexts.h"
#include "DatabaseFixture.h"
#include "TFakeXdgEmail.h"
#include "ICallRows.h"
#include "TFileActions.h"
#include "Tchannel.h"
#include "TfmMoveTo.h"
#include "TfmPelmorantDB.h"

namespace {

class FakeRows : public ICallRows {
public:
    std::vector<int> Rows;
    int Cleared = 0;
    std::vector<int> TargetRows() const override { return Rows; }
    void SetCurrentRow(int) override {}
    void ClearRowSelection() override {
        ++Cleared;
        Rows.clear();
    }
};

class FileActionsTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        settings.cbxSaveCallerName = true;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        actions = std::make_unique<TFileActions>(*db, settings, logger, search);
        actions->ViewInUse = [this] { return view; };
    }
    // A call of `channel` with its recording of `kb` KiB and `memo`.
    void File(int channel, const QString& memo, int kb = 4) {
        Tchannel c;
        c.Number = channel;
        c.CallerId = "555" + QString::number(calls);
        c.CallerName = memo;
        c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(9, 0, calls)));
        c.StopTime = c.StartTime + 30 / 86400.0;
        c.FileName = QString("%1_20261209_0900%2.wav").arg(channel).arg(calls, 2, 10, QChar('0'));
        WriteRecording(c.FileName, kb * 1024);
        db->AddCall(c);
        ++calls;
    }
    QString MemoOfRow(int row) {
        TVolgaTable& t = db->tblCalls;
        t.SetRecNo(row + 1);
        return QString::fromStdString(t.FieldByName("Memo").AsString());
    }
    QByteArray TableFile() {
        QFile f(globals.AppDataDir + "/Calls.d");
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    std::unique_ptr<TfmPelmorantDB> db;
    FakeRows logger, search;
    TFileActions::View view = TFileActions::View::Logger;
    std::unique_ptr<TFileActions> actions;
    int calls = 0;
};

}  // namespace

TEST_F(FileActionsTest, StatesFollowTheCurrentRowOfTheGridInView) {
    QSignalSpy changed(actions.get(), &TFileActions::statesChanged);
    actions->UpdateFileActions();
    EXPECT_EQ(actions->Current(), TFileActions::States{});  // no records: everything off
    EXPECT_EQ(changed.count(), 0);

    settings.cbxRecordCalls = 3;  // records only: the row's file is "SMDR"
    File(0, "smdr");
    settings.cbxRecordCalls = 2;
    File(1, "ordinary");
    db->tblCalls.First();
    actions->UpdateFileActions();
    EXPECT_EQ(actions->Current(), (TFileActions::States{false, true, false, true}));
    db->tblCalls.Last();
    actions->UpdateFileActions();
    EXPECT_EQ(actions->Current(), (TFileActions::States{true, true, true, true}));
    EXPECT_EQ(changed.count(), 2);

    // The search grid in view, with no result open.
    view = TFileActions::View::Search;
    actions->UpdateFileActions();
    EXPECT_EQ(actions->Current(), TFileActions::States{});
}

TEST_F(FileActionsTest, MemoRules) {
    File(0, "Ann");
    File(1, "Bob");
    File(0, "Cy");
    db->tblCalls.SetRecNo(1);  // the current row: Ann
    const QByteArray before = TableFile();

    messages.inputOk = false;  // cancelled
    logger.Rows = {0, 2};
    actions->Memo();
    messages.inputOk = true;
    messages.inputAnswer = "Ann";  // the current row's own text: nothing changes for any row
    actions->Memo();
    EXPECT_EQ(TableFile(), before);
    EXPECT_EQ(MemoOfRow(2), "Cy");

    db->tblCalls.SetRecNo(1);
    messages.inputAnswer = "call back";
    actions->Memo();
    EXPECT_EQ(MemoOfRow(0), "call back");
    EXPECT_EQ(MemoOfRow(1), "Bob");
    EXPECT_EQ(MemoOfRow(2), "call back");
    EXPECT_EQ(logger.Cleared, 1);

    // An empty memo is stored as one space; written to the file.
    db->tblCalls.SetRecNo(2);
    logger.Rows = {1};
    messages.inputAnswer = "";
    actions->Memo();
    TfmPelmorantDB again(globals, settings);
    ASSERT_TRUE(again.OpenDatabase());
    again.tblCalls.SetRecNo(2);
    EXPECT_EQ(again.tblCalls.FieldByName("Memo").AsString(), " ");
}

TEST_F(FileActionsTest, DeletingTakesTheRecordingsAndTheirSpace) {
    File(0, "a", 4);
    File(1, "b", 8);
    File(0, "c", 16);
    const int used = globals.UsedSpaceKb.load();
    const QString second = settings.edtFolder + "1_20261209_090001.wav";
    ASSERT_TRUE(QFileInfo::exists(second));

    logger.Rows = {1, 2};
    messages.confirmAnswer = false;
    actions->DeleteFiles();
    EXPECT_EQ(db->tblCalls.RecordCount(), 3);
    ASSERT_EQ(messages.asked.size(), 1);
    EXPECT_EQ(messages.asked.first(), "Delete selected record(s)?");

    messages.confirmAnswer = true;
    actions->DeleteFiles();
    EXPECT_EQ(db->tblCalls.RecordCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "0_20261209_090002.wav"));
    EXPECT_TRUE(QFileInfo::exists(settings.edtFolder + "0_20261209_090000.wav"));
    EXPECT_EQ(globals.UsedSpaceKb.load(), used - 24);
    TfmPelmorantDB again(globals, settings);
    ASSERT_TRUE(again.OpenDatabase());
    EXPECT_EQ(again.tblCalls.RecordCount(), 1);
}

TEST_F(FileActionsTest, InTheSearchViewARowStandsForTheCallWithItsCallId) {
    for (int i = 0; i < 7; ++i) File(i % 2, "m" + QString::number(i));
    db->tblCalls.SetFilter("Channel=1");
    db->tblCalls.SetFiltered(true);
    db->queSearch.SetSQL("SELECT * FROM calls WHERE calls.channel = 0");
    db->queSearch.Open();
    ASSERT_EQ(db->queSearch.RecordCount(), 4);
    view = TFileActions::View::Search;
    std::vector<std::pair<int, int>> progress;
    actions->Progress = [&](int step, int steps) { progress.push_back({step, steps}); };

    search.Rows = {3, 0, 1, 2, 3};  // more than four rows: the progress bar shows
    db->queSearch.First();
    messages.inputAnswer = "seen";
    actions->Memo();
    EXPECT_EQ(progress.size(), 6u);
    EXPECT_EQ(progress.back(), (std::pair<int, int>{-1, 0}));
    db->tblCalls.SetFiltered(false);
    for (db->tblCalls.First(); !db->tblCalls.Eof(); db->tblCalls.Next()) {
        const bool channel0 = db->tblCalls.FieldByName("Channel").AsInteger() == 0;
        EXPECT_EQ(db->tblCalls.FieldByName("Memo").AsString() == "seen", channel0);
    }
    db->tblCalls.SetFiltered(true);
    // The search result shows the change, and the logger's filter is as it was.
    db->queSearch.First();
    EXPECT_EQ(db->queSearch.FieldByName("Memo").AsString(), "seen");
    EXPECT_EQ(db->tblCalls.RecordCount(), 3);
}

TEST_F(FileActionsTest, MovingSetsTheFolderInBothViews) {
    for (int i = 0; i < 3; ++i) File(0, "m");
    const QString folder = "OTHERFLD";
    logger.Rows = {0, 2};
    actions->MoveTo(QString());  // cancelled: nothing
    actions->MoveTo(folder);
    db->tblCalls.SetFiltered(false);
    QStringList folders;
    for (db->tblCalls.First(); !db->tblCalls.Eof(); db->tblCalls.Next())
        folders << QString::fromStdString(db->tblCalls.FieldByName("FolderId").AsString());
    EXPECT_EQ(folders, (QStringList{folder, db->MainFolderId, folder}));
}

TEST_F(FileActionsTest, CopyingRecordingsOutAndOntoThemselves) {
    File(0, "a", 4);
    settings.cbxRecordCalls = 3;
    File(1, "smdr");  // no recording: passed over
    settings.cbxRecordCalls = 2;
    File(0, "c", 8);
    QFile::remove(settings.edtFolder + "0_20261209_090002.wav");  // gone since
    File(1, "d", 2);
    QTemporaryDir out;
    db->tblCalls.SetRecNo(1);
    logger.Rows = {0};
    EXPECT_EQ(actions->CopySuggestion(), "0_20261209_090000.wav");
    logger.Rows = {0, 1, 2, 3};
    EXPECT_EQ(actions->CopySuggestion(), "Selected Files");
    actions->CopyToFolder(out.path());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files),
              (QStringList{"0_20261209_090000.wav", "1_20261209_090003.wav"}));
    EXPECT_EQ(QFileInfo(out.path() + "/0_20261209_090000.wav").size(), 4 * 1024);
    EXPECT_EQ(logger.Cleared, 1);

    // Into the recordings folder itself: every recording stays whole.
    logger.Rows = {0, 3};
    actions->CopyToFolder(settings.edtFolder);
    EXPECT_EQ(QFileInfo(settings.edtFolder + "0_20261209_090000.wav").size(), 4 * 1024);
    EXPECT_EQ(QFileInfo(settings.edtFolder + "1_20261209_090003.wav").size(), 2 * 1024);
}

TEST_F(FileActionsTest, EmailAttachesTheRecordingsThatExistThroughXdgEmail) {
    File(0, "a");
    settings.cbxRecordCalls = 3;
    File(1, "smdr");
    settings.cbxRecordCalls = 2;
    File(0, "c");
    QFile::remove(settings.edtFolder + "0_20261209_090002.wav");
    File(1, "d");
    db->tblCalls.Last();
    actions->UpdateFileActions();
    TFakeXdgEmail mail;
    logger.Rows = {3, 1, 2, 0};
    EXPECT_TRUE(actions->EmailFiles());
    EXPECT_EQ(mail.Arguments(),
              (QStringList{"--body", TFileActions::MailBody(), "--attach",
                           settings.edtFolder + "1_20261209_090003.wav", "--attach",
                           settings.edtFolder + "0_20261209_090000.wav"}));
    EXPECT_EQ(TFileActions::MailBody(), "Hello,\n\n\nRecorded with Pelmorant\n" +
                                            QString(BrowsingTexts::kProductAddress) + "\n");
    // The missing file is said, the SMDR row is not.
    EXPECT_EQ(messages.shown, QStringList{"file 0_20261209_090002.wav not found"});
    EXPECT_EQ(logger.Cleared, 1);
}

TEST_F(FileActionsTest, AMailProgramThatCannotTakeTheMessageIsSaid) {
    File(0, "a");
    actions->UpdateFileActions();
    {
        TFakeXdgEmail failing(4);
        logger.Rows = {0};
        EXPECT_FALSE(actions->EmailFiles());
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown.first(),
                  QString(BrowsingTexts::kMailFailed).arg(BrowsingTexts::kMailGeneralFailure));
    }
    // No xdg-email at all.
    messages.shown.clear();
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    logger.Rows = {0};
    EXPECT_FALSE(actions->EmailFiles());
    qputenv("PATH", path);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown.first().contains("xdg-email"));
}

TEST_F(FileActionsTest, TheMoveDialogGivesTheChosenFolderOrNothing) {
    TfmMoveTo dialog(db->Tree);
    EXPECT_EQ(dialog.windowTitle(), "Move");
    QTimer::singleShot(0, [&] { dialog.OkButton()->click(); });
    EXPECT_EQ(dialog.ChooseFolder(), db->MainFolderId);
    QTimer::singleShot(0, [&] { dialog.reject(); });
    EXPECT_EQ(dialog.ChooseFolder(), QString());
}
