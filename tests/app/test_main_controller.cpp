// The main window's behaviour without a window: the stored defaults, the views and which
// commands are enabled, the guarded commands and their one password check, the developer keys,
// the two timers' duties in their order, the external tool and the orderly end.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <memory>

#include "TFreshUserDirs.h"
#include "CoreTexts.h"
#include "FakeMainFeatures.h"
#include "TChannelTable.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TShell.h"
#include "TTestClock.h"

namespace {

using Kind = TPasswordCheck::Kind;
using FileCommand = IFileActions::Command;
using Grid = ICallGrids::Grid;

class TMessageLog : public TMessages {
public:
    TMessageLog() { TMessages::Install(this); }
    ~TMessageLog() override { TMessages::Install(nullptr); }
    void Show(const QString& text) override { Shown << text; }
    QStringList Shown;
};

class TShellLog : public TShell {
public:
    TShellLog() { TShell::Install(this); }
    ~TShellLog() override { TShell::Install(nullptr); }
    int OpenDocument(const QString& path) override {
        Opened << path;
        return Result;
    }
    int Run(const QString& executable, const QStringList& args, const QString& dir) override {
        Runs << (QStringList{executable, dir} + args);
        return Result;
    }
    int Result = 33;
    QStringList Opened;
    QList<QStringList> Runs;
};

// Settings stores of their own in a temporary home, for each test.
class MainControllerTest : public ::testing::Test {
protected:
    MainControllerTest() {
    }
    std::unique_ptr<TMainController> Start(const QStringList& args = {}) {
        globals_ = std::make_unique<TPelmGlobals>();
        return std::make_unique<TMainController>(*globals_, channels_, settings_, args);
    }
    TIniFile& Ini() { return globals_->SettingsIni; }
    TIniFile& Registry() { return globals_->SettingsRegistry; }

    TFreshUserDirs home_;
    TTestClock clock_{QDateTime(QDate(2026, 12, 9), QTime(15, 30)), TTestClock::Install::Yes};
    std::unique_ptr<TPelmGlobals> globals_;
    TChannelTable channels_;
    TLiveSettings settings_;
    TMessageLog messages_;
    TShellLog shell_;
    TFakeMainFeatures features_;
};

TEST_F(MainControllerTest, FirstStartWritesItsDefaultsAndLaterStartsReadThem) {
    {
        auto c = Start();
        const TDateTime today = std::floor(ToDateTime(clock_.now));
        EXPECT_EQ(c->LastDbBackup, today);
        EXPECT_EQ(Ini().ReadDateTime("Backup", "backupDate", -1), today);
        EXPECT_TRUE(c->ToolbarShown());
        EXPECT_TRUE(c->StatusBarShown());
        EXPECT_EQ(Ini().ReadString("General", "Toolbar", ""), "1");
        EXPECT_EQ(Ini().ReadString("General", "statusBar", ""), "1");
        const TMainController::Layout l = c->StoredLayout();
        EXPECT_EQ(l.Geometry, QRect(257, 57, 949, 726));
        EXPECT_EQ(l.Panel13Width, 170);
        EXPECT_EQ(l.Panel2Height, 155);
        EXPECT_EQ(l.Volume, 2);
        EXPECT_EQ(channels_.Count(), 2);
        c->SetStatusBarShown(false);
        Ini().WriteInteger("fmPelmUsb", "height", 100);  // below the minimum
        Ini().WriteInteger("General", "Volume", 40);     // past the bar's end
    }
    clock_.now = clock_.now.addDays(3);
    auto c = Start();
    EXPECT_EQ(c->LastDbBackup, std::floor(ToDateTime(clock_.now.addDays(-3))));
    EXPECT_TRUE(c->ToolbarShown());
    EXPECT_FALSE(c->StatusBarShown());
    EXPECT_EQ(c->StoredLayout().Geometry.height(), 645);
    EXPECT_EQ(c->StoredLayout().Volume, 16);
}

TEST_F(MainControllerTest, ViewsChooseTheGridAndThePrintItems) {
    auto c = Start();
    int updates = 0;
    bool playing = false;
    features_.OnPrint = features_.OnPrintPreview = features_.OnMemo = [] {};
    features_.OnUpdateFileActions = [&] { ++updates; };
    features_.OnPlaying = [&] { return playing; };
    features_.OnRecordCount = [](Grid g) { return g == Grid::Logger ? 5 : 7; };
    features_.PlugInto(*c);
    QSignalSpy views(c.get(), &TMainController::viewChanged);

    struct Step {
        int view;
        Grid grid;
        bool printing;
        const char* records;
    };
    const Step steps[] = {
        {TMainController::vMonitor, Grid::Logger, false, " Records 5"},
        {TMainController::vSearch, Grid::Search, true, " Records 7"},
        {TMainController::vAlarms, Grid::Search, false, " Records 7"},  // keeps the grid
        {TMainController::vLogger, Grid::Logger, true, " Records 5"},
    };
    for (const Step& s : steps) {
        c->ShowView(s.view);
        EXPECT_EQ(c->CurrentView(), s.view);
        EXPECT_EQ(c->ActiveGrid(), s.grid);
        EXPECT_EQ(c->Enabled(FileCommand::Print), s.printing);
        EXPECT_EQ(c->Enabled(FileCommand::PrintPreview), s.printing);
        EXPECT_TRUE(c->Enabled(FileCommand::Memo));  // not a print item
        EXPECT_FALSE(c->Enabled(FileCommand::ExportData));
        EXPECT_EQ(c->RecordsText(), s.records);
    }
    EXPECT_EQ(views.count(), 4);
    EXPECT_EQ(updates, 4);
    // While the player plays the file actions are left alone; a view out of range is ignored.
    playing = true;
    c->ShowView(TMainController::vSearch);
    c->ShowView(4);
    c->ShowView(-1);
    EXPECT_EQ(updates, 4);
    EXPECT_EQ(c->CurrentView(), TMainController::vSearch);
}

TEST_F(MainControllerTest, CommandsOfMissingFeaturesAreDisabledAndDoNothing) {
    auto c = Start();
    int asked = 0;
    c->Passwords().SetPrompt([&](Kind) { return ++asked, true; });
    Registry().WriteBool("General", "delato", true);
    for (auto cmd : {FileCommand::Memo, FileCommand::Print, FileCommand::EmailFile}) {
        EXPECT_FALSE(c->Enabled(cmd));
        c->Run(cmd);
    }
    EXPECT_FALSE(c->Enabled(IPlayer::Command::Play));
    EXPECT_FALSE(c->RecordEnabled());
    EXPECT_FALSE(c->SettingsEnabled());
    EXPECT_FALSE(c->TreeItemEnabled(0));
    EXPECT_FALSE(c->CallActive());
    c->Settings();
    c->Record();
    c->TreeAction(0);
    EXPECT_EQ(asked, 0);  // Settings without a configuration asks nothing
    EXPECT_EQ(c->RecordsText(), " Records 0");

    // The tree's items follow what the tree says of the selected node.
    std::vector<int> actions;
    features_.OnTreeAction = [&](int item) { actions.push_back(item); };
    c->SetTree(&features_);
    c->SetTreeItemEnabled(3, false);
    c->SetTreeItemEnabled(9, false);  // no such item
    for (int i = 0; i < TMainController::kTreeItems; ++i) EXPECT_EQ(c->TreeItemEnabled(i), i != 3);
    c->TreeAction(8);
    EXPECT_EQ(actions, std::vector<int>{8});
}

TEST_F(MainControllerTest, GuardedCommandsAskTheStoredPasswordOfTheirKind) {
    auto c = Start({"KUDOX"});
    std::vector<Kind> asked;
    bool right = false;
    c->Passwords().SetPrompt([&](Kind kind) {
        asked.push_back(kind);
        return right;
    });
    int configs = 0;
    features_.OnShowConfig = [&] { ++configs; };
    c->SetSupervision(&features_);
    QSignalSpy tool(c.get(), &TMainController::externalToolChanged);
    QSignalSpy shows(c.get(), &TMainController::showRequested);

    // Both off: nothing is asked.
    c->Settings();
    c->Restore();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(configs, 1);
    EXPECT_EQ(tool.count(), 1);
    EXPECT_EQ(shows.count(), 1);

    // The access password guards the restore only.
    Registry().WriteBool("General", "zilota", true);
    c->Shown = false;
    c->Settings();
    c->DeveloperKey(Qt::Key_3, Qt::AltModifier);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(configs, 3);
    c->Restore();
    EXPECT_EQ(asked, std::vector<Kind>{Kind::Access});
    EXPECT_FALSE(c->Shown);
    EXPECT_EQ(shows.count(), 1);
    EXPECT_EQ(messages_.Shown, QStringList{CoreTexts::kPasswordFailed});

    // The administrator's guards Settings and Alt+3, each with its own failure text.
    Registry().WriteBool("General", "delato", true);
    asked.clear();
    messages_.Shown.clear();
    const int toolBefore = tool.count();
    c->Settings();
    c->DeveloperKey(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(asked, (std::vector<Kind>{Kind::Administrator, Kind::Administrator}));
    EXPECT_EQ(configs, 3);
    EXPECT_EQ(tool.count(), toolBefore);
    EXPECT_EQ(messages_.Shown, (QStringList{CoreTexts::kPasswordFailed, "Password failed"}));

    right = true;
    c->Settings();
    c->Restore();
    EXPECT_EQ(configs, 4);
    EXPECT_EQ(tool.count(), toolBefore + 1);
    EXPECT_TRUE(c->Shown);
    EXPECT_EQ(shows.count(), 2);
}

TEST_F(MainControllerTest, AWrongAccessPasswordAtTheFirstShowEndsTheProgram) {
    auto c = Start();
    int asked = 0;
    c->Passwords().SetPrompt([&](Kind) { return ++asked, false; });
    Registry().WriteBool("General", "zilota", true);
    QSignalSpy refused(c.get(), &TMainController::accessRefused);
    EXPECT_FALSE(c->AskAccessAtFirstShow());
    EXPECT_TRUE(c->CanExit);
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(messages_.Shown, QStringList{CoreTexts::kPasswordFailed});
    // Asked once per run.
    EXPECT_TRUE(c->AskAccessAtFirstShow());
    EXPECT_EQ(asked, 1);
}

TEST_F(MainControllerTest, DeveloperKeysNeedTheSwitchFirstAndAltAlone) {
    struct Case {
        QStringList args;
        Qt::KeyboardModifiers modifiers;
        bool works;
    };
    const Case cases[] = {
        {{"kudox"}, Qt::AltModifier, true},
        {{"KUDOX"}, Qt::AltModifier | Qt::ControlModifier, false},
        {{"KUDOX"}, Qt::NoModifier, false},
        {{}, Qt::AltModifier, false},
        {{"STARTUP", "KUDOX"}, Qt::AltModifier, false},
    };
    for (const Case& k : cases) {
        auto c = Start(k.args);
        int database = 0, tests = 0, configs = 0;
        features_.OnShowDatabaseWindow = [&] { ++database; };
        features_.OnShowTestsWindow = [&] { ++tests; };
        features_.OnShowConfig = [&] { ++configs; };
        c->SetSupervision(&features_);
        QSignalSpy log(c.get(), &TMainController::logWindowRequested);
        int handled = 0;
        for (int key : {Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6})
            handled += c->DeveloperKey(key, k.modifiers);
        const int n = k.works ? 1 : 0;
        EXPECT_EQ(handled, 4 * n) << k.args.join(" ").toStdString();
        EXPECT_EQ(log.count(), n);
        EXPECT_EQ(configs, n);
        EXPECT_EQ(database, n);
        EXPECT_EQ(tests, n);
    }
}

TEST_F(MainControllerTest, TheFirstMonitorTickHidesAStartWithTheSystem) {
    struct Case {
        QStringList args;
        const char* startUp;
        int hides;
    };
    const Case cases[] = {{{"startup"}, "1", 1}, {{"STARTUP"}, "0", 0}, {{}, "1", 0}};
    for (const Case& k : cases) {
        auto c = Start(k.args);
        Ini().WriteString("General", "StartUp", k.startUp);
        QSignalSpy hides(c.get(), &TMainController::hideRequested);
        c->Timer1Timer();
        c->Timer1Timer();
        EXPECT_FALSE(c->FirstTick);
        EXPECT_EQ(hides.count(), k.hides);
    }
    // A channel coming into operation changes its tile.
    auto c = Start();
    QSignalSpy monitor(c.get(), &TMainController::monitorChanged);
    c->Timer1Timer();
    monitor.clear();
    channels_[0].Operation = true;
    c->Timer1Timer();
    EXPECT_EQ(monitor.count(), 1);
    EXPECT_EQ(c->Timer1()->interval(), 100);
    EXPECT_EQ(c->Timer2()->interval(), 1000);
}

TEST_F(MainControllerTest, TheSlowTickDoesItsDutiesInOrder) {
    auto c = Start();
    QStringList order;
    bool storeFails = false;
    features_.OnStoreTree = [&](QString* error) {
        order << "tree";
        if (storeFails) *error = "disk full";
        return !storeFails;
    };
    features_.OnPlayerTick = [&] { order << "player"; };
    features_.OnDrainAlarms = [&] { order << "alarms"; };
    features_.OnDbBackupTick = [&] { order << "backup"; };
    QObject::connect(c.get(), &TMainController::statusChanged, [&] { order << "status"; });
    features_.PlugInto(*c);

    c->Timer2Timer();  // nothing edited: the tree is not stored
    EXPECT_EQ(order, (QStringList{"player", "alarms", "backup", "status"}));
    order.clear();
    c->TreeChanged = true;
    storeFails = true;
    c->Timer2Timer();
    EXPECT_EQ(order, (QStringList{"tree", "player", "alarms", "backup", "status"}));
    EXPECT_FALSE(c->TreeChanged);
    EXPECT_EQ(messages_.Shown, QStringList{"Error in TreeToVolgaTbl() -> disk full"});
    // Cleared before the failed store: stored again only after the next edit.
    order.clear();
    c->Timer2Timer();
    EXPECT_FALSE(order.contains("tree"));

    globals_->UsedSpaceKb = 1536 + 5;
    EXPECT_EQ(c->UsedSpaceText(), " Hard disk used  1.50 (Mb)");
}

TEST_F(MainControllerTest, TheEndFilesTheCallStoresTheTreeAndSavesTheLayoutOnce) {
    auto c = Start();
    QStringList order;
    bool active = true;
    features_.OnCallActive = [&] { return active; };
    features_.OnRecord = [&] {
        order << "call ended";
        active = false;
    };
    features_.OnStoreTree = [&](QString*) { return order << "tree stored", true; };
    features_.OnClearTree = [&] { order << "tree cleared"; };
    features_.PlugInto(*c);
    c->Timer1()->start();
    c->Timer2()->start();
    QSignalSpy close(c.get(), &TMainController::closeRequested);
    c->Exit();
    EXPECT_TRUE(c->CanExit);
    EXPECT_EQ(close.count(), 1);

    TMainController::Layout layout;
    layout.Geometry = QRect(10, 20, 800, 700);
    layout.Panel13Width = 200;
    layout.Panel2Height = 140;
    layout.Volume = 9;
    layout.LoggerWidths = {40, 50};
    layout.SearchWidths = {60};
    c->SearchWidthsChanged = true;  // only the search grid was resized
    c->Close(layout);
    c->Close(layout);
    EXPECT_EQ(order, (QStringList{"call ended", "tree stored", "tree cleared"}));
    EXPECT_FALSE(c->Timer1()->isActive());
    EXPECT_FALSE(c->Timer2()->isActive());
    TIniFile saved(Ini().FileName());
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "Left", 0), 10);
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "Top", 0), 20);
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "width", 0), 800);
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "height", 0), 700);
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "panel13Width", 0), 200);
    EXPECT_EQ(saved.ReadInteger("fmPelmUsb", "panel2Height", 0), 140);
    EXPECT_EQ(saved.ReadInteger("General", "Volume", 0), 9);
    EXPECT_FALSE(saved.SectionExists("dbGrid2"));
    EXPECT_EQ(saved.ReadInteger("dbGrid1", "dbGrid1.columns[0]", 0), 60);
    EXPECT_TRUE(messages_.Shown.isEmpty());
}

TEST_F(MainControllerTest, ExternalToolAndHelpGoThroughTheShell) {
    auto c = Start();
    EXPECT_FALSE(c->ExternalTool().Visible);
    EXPECT_TRUE(c->ExternalTool().Item.isEmpty());
    Ini().WriteBool("External tool", "ToolEnable", true);
    Ini().WriteString("External tool", "caption", "Open in the mixer");
    Ini().WriteString("External tool", "Executable", "/usr/bin/player");
    Ini().WriteString("External tool", "comLine", "%s");
    const TMainController::ExternalToolCaptions tool = c->ExternalTool();
    EXPECT_TRUE(tool.Visible);
    EXPECT_EQ(tool.Item, "Open in the mixer");
    EXPECT_EQ(tool.Button, "Open in the ...");

    // "%s" stands for the current call of the grid in view; with none, nothing runs.
    settings_.edtFolder = "/rec/";
    features_.OnCurrentFileName = [](Grid g) { return g == Grid::Logger ? "a.wav" : ""; };
    c->SetGrids(&features_);
    c->RunExternalTool();
    c->ShowView(TMainController::vSearch);
    c->RunExternalTool();
    ASSERT_EQ(shell_.Runs.size(), 1);
    EXPECT_EQ(shell_.Runs[0], (QStringList{"/usr/bin/player", "/rec/", "/rec/a.wav"}));

    globals_->ProgramDir = "/opt/pelmorant";
    shell_.Result = 2;
    c->Help();
    shell_.Result = 4;  // an error without a text of its own
    c->Help();
    EXPECT_EQ(shell_.Opened, QStringList(2, "/opt/pelmorant/help/index.html"));
    EXPECT_EQ(messages_.Shown, QStringList{"The specified file was not found."});
}

// Installed, the pages lie in the data folder beside bin/; from the build folder (or a copied
// program folder) they lie in "help" beside the program. The Help menu's three pages follow.
TEST_F(MainControllerTest, HelpPagesComeFromTheInstalledFolderElseBesideTheProgram) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.path() + "/bin";
    const QString installed = QDir::cleanPath(bin + "/" + TMainController::kInstalledHelpDir);
    EXPECT_TRUE(installed.startsWith(prefix.path() + "/"));
    EXPECT_FALSE(installed.startsWith(bin + "/"));
    ASSERT_TRUE(QDir().mkpath(bin + "/help"));
    ASSERT_TRUE(QFile(bin + "/help/index.html").open(QIODevice::WriteOnly));
    auto c = Start();
    globals_->ProgramDir = bin;
    EXPECT_EQ(c->HelpDir(), bin + "/help");

    // A folder without the contents page is not taken for the pages.
    ASSERT_TRUE(QDir().mkpath(installed));
    EXPECT_EQ(c->HelpDir(), bin + "/help");
    ASSERT_TRUE(QFile(installed + "/index.html").open(QIODevice::WriteOnly));
    EXPECT_EQ(c->HelpDir(), installed);
    c->Help();
    c->OpenFaq();
    c->OpenTroubleshooting();
    EXPECT_EQ(shell_.Opened, (QStringList{installed + "/index.html", installed + "/faq.html",
                                          installed + "/troubleshooting.html"}));
}

TEST_F(MainControllerTest, InstructionsAtTheFirstActivationUntilTheUserSaysNo) {
    {
        auto c = Start();
        EXPECT_TRUE(c->TakeInstructions());
        EXPECT_EQ(Ini().ReadString("General", "demoInstructions", ""), "1");
        EXPECT_FALSE(c->TakeInstructions());  // once per run
        c->InstructionsClosed(false);
    }
    {
        auto c = Start();
        EXPECT_TRUE(c->TakeInstructions());
        c->InstructionsClosed(true);
    }
    auto c = Start();
    EXPECT_FALSE(c->TakeInstructions());
    EXPECT_TRUE(c->InstructionsDone);
}

}  // namespace
