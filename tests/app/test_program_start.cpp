// The program's modules started together on an empty data folder, then started again.
#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "DatabaseFixture.h"
#include "FileModes.h"
#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TFolderTreeView.h"
#include "TFreshUserDirs.h"
#include "TPelmApplication.h"
#include "TStorageRuns.h"
#include "TTreeController.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"
#include "TfmTestPelmorant.h"

namespace {

class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TMessages::Install(&messages);
        TLiveSettings::Instance() = TLiveSettings();
        TPelmGlobals::Instance().SettingsIni.WriteBool("General", "demoInstructions", false);
    }
    void TearDown() override { TMessages::Install(nullptr); }
    TFreshUserDirs home;
    RecordingMessages messages;
};

}  // namespace

TEST_F(ProgramStartTest, FirstStartThenRestartKeepsTreeAndCalls) {
    QString mainId;
    {
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        program.Run();
        TfmPelmorantDB* db = program.Database();
        ASSERT_EQ(db->Tree.Count(), 1);
        EXPECT_EQ(db->Tree.NodeAt(0)->text(), "Main");
        mainId = db->MainFolderId;
        // The first start keeps a copy of the database files.
        const QString copies = TPelmGlobals::Instance().AppDataDir + "/backupDB/";
        for (const char* table : {"Calls.d", "Tree.d", "Channels.d"})
            EXPECT_TRUE(QFileInfo::exists(copies + table)) << table;
        EXPECT_EQ(program.MainWindow()->tree()->SelectedNode(), db->Tree.NodeAt(0));
        // File a call per date, and one more folder of the user's.
        TLiveSettings::Instance().cbxPostByDate = true;
        Tchannel c = TChannelTable::Instance()[0];
        c.StartTime = NowDateTime() - 0.001;
        c.StopTime = NowDateTime();
        c.FileName = "missing.wav";
        db->AddCall(c);
        EXPECT_EQ(db->Tree.Count(), 4);
        // Main shows no calls, so the new date folder was selected; the Tree menu follows.
        TfmPelmUsb* main = program.MainWindow();
        EXPECT_EQ(main->tree()->SelectedNode(), db->Tree.NodeAt(3));
        main->tree()->SelectNode(db->Tree.NodeAt(0));
        EXPECT_FALSE(main->Action("mmiTree3")->isEnabled());  // Delete node... on Main
        main->tree()->SelectNode(db->Tree.NodeAt(3));
        EXPECT_TRUE(main->Action("mmiTree3")->isEnabled());
        EXPECT_EQ(main->gdLogger()->model()->rowCount(), 1);
        main->ExitProgram();
    }
    {
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        program.Run();
        TfmPelmorantDB* db = program.Database();
        EXPECT_EQ(db->MainFolderId, mainId);
        ASSERT_EQ(db->Tree.Count(), 4);
        EXPECT_EQ(TFolderTree::Level(db->Tree.NodeAt(3)), 3);
        program.MainWindow()->tree()->SelectNode(db->Tree.NodeAt(3));
        EXPECT_EQ(program.MainWindow()->gdLogger()->model()->rowCount(), 1);
        EXPECT_EQ(
            program.MainWindow()->gdLogger()->model()->headerData(4, Qt::Horizontal).toString(),
            "Direction");
        program.MainWindow()->ExitProgram();
    }
}

// registry.ini names a data folder that is not there (a drive not connected): nothing is made
// in its place unless the user says so; choosing the old folder again finds its calls.
TEST_F(ProgramStartTest, AMissingDataFolderIsMadeOnlyWhenTheUserSaysSo) {
    QString dataDir;
    {
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        dataDir = TPelmGlobals::Instance().AppDataDir;
        Tchannel c = TChannelTable::Instance()[0];
        c.StartTime = NowDateTime() - 0.001;
        c.StopTime = NowDateTime();
        c.FileName = "kept.wav";
        program.Database()->AddCall(c);
        program.MainController()->Exit();
    }
    const QString registryPath = TPelmGlobals::RegistryFileName();
    const QString gone = home.Root() + "/usb-drive/Pelmorant";
    ASSERT_TRUE(TIniFile(registryPath).WriteString("Params", "appDataDir", gone));

    // Closed or Quit: the start ends, and says why.
    for (int answer : {-1, 2}) {
        messages.chooseAnswers = {answer};
        TPelmApplication program({});
        EXPECT_FALSE(program.Start());
        ASSERT_EQ(messages.choices.size(), 1);
        EXPECT_TRUE(messages.choices.takeFirst().contains(gone));
        EXPECT_TRUE(TPelmGlobals::Instance().StartupAbortReason.contains(gone));
        EXPECT_FALSE(QFileInfo::exists(home.Root() + "/usb-drive"));
        EXPECT_EQ(TIniFile(registryPath).ReadString("Params", "appDataDir", ""), gone);
    }

    // "Choose another...": a cancelled picker asks again; the old folder is chosen.
    {
        struct PickOnSecondAsk : RecordingMessages {
            QString answer;
            int asked = 0;
            bool ChooseFolder(const QString&, QString& folder) override {
                if (++asked < 2) return false;
                folder = answer;
                return true;
            }
        } picker;
        picker.chooseAnswers = {1, 1};
        picker.answer = dataDir;
        TMessages::Install(&picker);
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        EXPECT_EQ(picker.choices.size(), 2);
        EXPECT_EQ(TPelmGlobals::Instance().AppDataDir, dataDir);
        EXPECT_EQ(TIniFile(registryPath).ReadString("Params", "appDataDir", ""), dataDir);
        EXPECT_EQ(program.Database()->tblCalls.RecordCount(), 1);
        program.MainController()->Exit();
        TMessages::Install(&messages);
    }

    // "Create it": made there (for its owner only), and the start goes on.
    ASSERT_TRUE(TIniFile(registryPath).WriteString("Params", "appDataDir", gone));
    messages.chooseAnswers = {0};
    {
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        EXPECT_EQ(TPelmGlobals::Instance().AppDataDir, gone);
        EXPECT_TRUE(QFileInfo(gone).isDir());
        EXPECT_EQ(ModeOf(gone), 0700);
        EXPECT_TRUE(program.Log()->Lines().join('\n').contains(gone));
        program.MainController()->Exit();
    }
}

// A Calls table replaced by text: the program starts, says so once, keeps the damaged file and
// takes the calls back from the copy of the first start.
TEST_F(ProgramStartTest, ADamagedCallsTableIsSaidOnceAndTheCallsComeBack) {
    QString dataDir;
    {
        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        dataDir = TPelmGlobals::Instance().AppDataDir;
        program.MainController()->Exit();
    }
    {
        QFile calls(dataDir + "/Calls.d");
        ASSERT_TRUE(calls.open(QIODevice::WriteOnly | QIODevice::Truncate));
        calls.write("not a table any more\n");
    }
    messages.shown.clear();
    TPelmApplication program({});
    ASSERT_TRUE(program.Start());
    const QStringList said = messages.shown.filter("Calls.d");
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().contains(dataDir + "/Calls.d.damaged-"));
    EXPECT_TRUE(program.Database()->tblCalls.Active());
    EXPECT_TRUE(program.Log()->Lines().join('\n').contains("Calls.d.damaged-"));
    program.MainController()->Exit();
}

// The File menu's file actions follow the logger grid's current row; memo and delete act on it.
TEST_F(ProgramStartTest, MemoAndDeleteFromTheFileMenuOnTheLoggerGrid) {
    TPelmApplication program({});
    ASSERT_TRUE(program.Start());
    program.Run();
    TfmPelmUsb* main = program.MainWindow();
    TfmPelmorantDB* db = program.Database();
    EXPECT_FALSE(main->Action("mmiMemo")->isEnabled());  // no calls yet
    EXPECT_FALSE(main->Action("mmiPrint")->isEnabled());
    EXPECT_TRUE(main->Action("mmiPrintSetup")->isEnabled());
    EXPECT_TRUE(main->Action("mmiExport")->isEnabled());
    TLiveSettings::Instance().cbxPostByDate = false;
    for (int i = 0; i < 2; ++i) {
        Tchannel c = TChannelTable::Instance()[0];
        c.StartTime = NowDateTime() - 0.001 + i / 86400.0;
        c.StopTime = NowDateTime();
        c.FileName = QString("call%1.wav").arg(i);
        db->AddCall(c);
    }
    main->tree()->SelectNode(db->Tree.NodeAt(0));
    TCallsGrid* grid = main->gdLogger();
    ASSERT_EQ(grid->model()->rowCount(), 2);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    EXPECT_TRUE(main->Action("mmiMemo")->isEnabled());
    EXPECT_TRUE(main->Action("mmiDelete")->isEnabled());
    EXPECT_TRUE(main->Action("mmiCopyTo")->isEnabled());
    EXPECT_TRUE(main->Action("mmiEmail")->isEnabled());
    EXPECT_TRUE(main->ToolbarButton("btnEmail")->isEnabled());
    EXPECT_TRUE(main->Action("mmiPrint")->isEnabled());
    EXPECT_TRUE(main->Action("mmiPrintPreview")->isEnabled());

    messages.inputAnswer = "front desk";
    main->Action("mmiMemo")->trigger();
    db->tblCalls.SetRecNo(1);
    EXPECT_EQ(db->tblCalls.FieldByName("Memo").AsString(), "front desk");

    grid->setCurrentIndex(grid->model()->index(1, 0));
    messages.confirmAnswer = true;
    main->Action("mmiDelete")->trigger();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("Memo").AsString(), "front desk");
    program.MainController()->Exit();
}

// With the developer switch, Alt+5 shows the Tests window; its third "ok" puts every call back
// on the main storage medium and says so, its first starts a recycling run.
TEST_F(ProgramStartTest, AltFiveShowsTheTestsWindowWhoseResetSaysItIsDone) {
    TPelmApplication program({"KUDOX"});
    ASSERT_TRUE(program.Start());
    program.Run();
    TfmPelmorantDB* db = program.Database();
    TLiveSettings::Instance().cbxPostByDate = false;
    Tchannel c = TChannelTable::Instance()[0];
    c.StartTime = NowDateTime() - 0.001;
    c.StopTime = NowDateTime();
    c.FileName = "moved.wav";
    db->AddCall(c);
    db->tblCalls.SetFiltered(false);
    db->tblCalls.First();
    db->tblCalls.Edit();
    db->tblCalls.FieldByName("mediumLabel").SetAsString("2026-12-09 10:11:12");
    db->tblCalls.FieldByName("mediumType").SetAsInteger(1);
    db->tblCalls.Post();
    db->tblCalls.SetFiltered(true);

    EXPECT_TRUE(program.MainController()->DeveloperKey(Qt::Key_5, Qt::AltModifier));
    TfmTestPelmorant* tests = program.TestsWindow();
    ASSERT_NE(tests, nullptr);
    EXPECT_TRUE(tests->isVisible());
    messages.shown.clear();
    tests->btn3->click();
    EXPECT_EQ(messages.shown, QStringList{"Operation completed"});
    db->tblCalls.SetFiltered(false);
    db->tblCalls.First();
    EXPECT_EQ(db->tblCalls.FieldByName("mediumLabel").AsString(), "Main storage medium");
    EXPECT_EQ(db->tblCalls.FieldByName("mediumType").AsInteger(), 0);
    db->tblCalls.SetFiltered(true);

    // The first "ok" starts a recycling run, which walks the calls and ends.
    tests->btn1->click();
    EXPECT_TRUE(program.StorageRuns()->RecycleRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!program.StorageRuns()->RecycleRunning(), 10000);
    EXPECT_TRUE(program.Log()->Lines().join('\n').contains("recycle disk completed"));
    program.MainController()->Exit();
}
