// The program's modules started together on an empty data folder, then started again.
#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include "DatabaseFixture.h"
#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TFolderTreeView.h"
#include "TPelmApplication.h"
#include "TTreeController.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"

namespace {

class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TMessages::Install(&messages);
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
        qputenv("XDG_RUNTIME_DIR", (home.path() + "/run").toUtf8());
        TLiveSettings::Instance() = TLiveSettings();
        TPelmGlobals::Instance().SettingsIni.WriteBool("General", "demoInstructions", false);
    }
    void TearDown() override { TMessages::Install(nullptr); }
    QTemporaryDir home;
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
        EXPECT_EQ(program.MainWindow()->gdLogger()->model()->headerData(4, Qt::Horizontal).toString(),
                  "Direction");
        program.MainWindow()->ExitProgram();
    }
}
