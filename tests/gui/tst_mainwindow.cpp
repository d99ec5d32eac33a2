// The main window driven through its widgets: views and print items, the tool bar and status
// bar across restarts, first-start defaults, the Instructions dialog, the status bar panels, the
// external tool, the monitor tiles and the developer shortcuts.
#include <QAction>
#include <QAudioDevice>
#include <QCheckBox>
#include <QLabel>
#include <QMediaDevices>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <cmath>

#include "CoreTexts.h"
#include "TCallsGrid.h"
#include "FakeMainFeatures.h"
#include "GuiSupport.h"
#include "TLedImage.h"
#include "TMonitorPage.h"
#include "TNavigationBar.h"
#include "TPictures.h"
#include "TfmInstructions.h"

namespace {

const QStringList kViewItems = {"mmiLogger", "mmiSearch", "mmiMonitor", "mmiAlarms"};

QStringList CheckedViewItems(TfmPelmUsb* w) {
    QStringList checked;
    for (const QString& name : kViewItems)
        if (w->Action(name)->isChecked()) checked << name;
    return checked;
}

QString CurrentPage(TfmPelmUsb* w) {
    auto* pages = w->findChild<QStackedWidget*>("PageControl1");
    QString page = pages->currentWidget()->objectName();
    if (page == "ts1") {
        auto* inner = w->findChild<QWidget*>("tsLogger")->parentWidget();
        page += "/" + static_cast<QStackedWidget*>(inner)->currentWidget()->objectName();
    }
    return page;
}

TfmInstructions* OpenInstructions(TfmPelmUsb* w) {
    auto* dlg = w->findChild<TfmInstructions*>("fmInstructions");
    return dlg && dlg->isVisible() ? dlg : nullptr;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

private slots:
    void initTestCase() {
        SetSystemFormat(TVolgaFormatSettings::Iso());
    }
    void init() {
        dirs_ = std::make_unique<TFreshUserDirs>();
        messages_ = std::make_unique<TRecordingMessages>();
    }
    void cleanup() {
        messages_.reset();
        dirs_.reset();
    }

    void firstStartWritesTheDefaults() {
        TWindowUnderTest w;
        QCOMPARE(w->geometry(), QRect(257, 57, 949, 726));
        TIniFile ini = dirs_->Ini();
        QCOMPARE(ini.ReadString("General", "Toolbar", ""), QString("1"));
        QCOMPARE(ini.ReadString("General", "statusBar", ""), QString("1"));
        QCOMPARE(ini.ReadDateTime("Backup", "backupDate", -1), std::floor(NowDateTime()));
        QVERIFY(!ini.ValueExists("General", "demoInstructions"));  // written at first activation
        QVERIFY(!w->Panel9()->isHidden());
        QVERIFY(!w->StatusBar1()->isHidden());
        QCOMPARE(w->tbrVolume()->value(), 2);
        QCOMPARE(w->CurrentView(), int(TfmPelmUsb::vLogger));
        // The tests run with no sound server: the sound-card message, and the window is built.
        QVERIFY(QMediaDevices::audioOutputs().isEmpty());
        QCOMPARE(messages_->Shown, QStringList{CoreTexts::kNoSoundCard});

        // An orderly end stores the design layout.
        w->show();
        w->ExitProgram();
        TIniFile after = dirs_->Ini();
        QCOMPARE(after.ReadInteger("fmPelmUsb", "Top", 0), 57);
        QCOMPARE(after.ReadInteger("fmPelmUsb", "Left", 0), 257);
        QCOMPARE(after.ReadInteger("fmPelmUsb", "width", 0), 949);
        QCOMPARE(after.ReadInteger("fmPelmUsb", "height", 0), 726);
        QCOMPARE(after.ReadInteger("fmPelmUsb", "panel13Width", 0), 170);
        QCOMPARE(after.ReadInteger("fmPelmUsb", "panel2Height", 0), 155);
        QCOMPARE(after.ReadInteger("General", "Volume", -1), 2);
        // Grid widths are written only for a grid whose columns were resized.
        QVERIFY(!after.SectionExists("dbGrid2"));
        QVERIFY(!after.SectionExists("dbGrid1"));
    }

    void storedGeometryAndVolumeAreUsed() {
        dirs_->Seed("fmPelmUsb", "Top", "40");
        dirs_->Seed("fmPelmUsb", "Left", "30");
        dirs_->Seed("fmPelmUsb", "width", "800");
        dirs_->Seed("fmPelmUsb", "height", "100");  // below the minimum height
        dirs_->Seed("General", "Volume", "11");
        TWindowUnderTest w;
        QCOMPARE(w->geometry(), QRect(30, 40, 800, 645));
        QCOMPARE(w->tbrVolume()->value(), 11);
    }

    void instructionsAtFirstActivation() {
        {
            TWindowUnderTest w;
            w->show();
            QTRY_VERIFY(OpenInstructions(w.window.get()));
            TfmInstructions* dlg = OpenInstructions(w.window.get());
            QCOMPARE(dlg->windowTitle(), QString("Instructions"));
            QCOMPARE(dirs_->Ini().ReadString("General", "demoInstructions", ""), QString("1"));
            // Closed without the box: shown again next time.
            dlg->findChild<QPushButton*>()->click();
            QTRY_VERIFY(!OpenInstructions(w.window.get()));
            QCOMPARE(dirs_->Ini().ReadString("General", "demoInstructions", ""), QString("1"));
            // Only the first activation shows it.
            w->hide();
            w->show();
            QTest::qWait(50);
            QVERIFY(!OpenInstructions(w.window.get()));
        }
        {
            TWindowUnderTest w;
            w->show();
            QTRY_VERIFY(OpenInstructions(w.window.get()));
            TfmInstructions* dlg = OpenInstructions(w.window.get());
            dlg->DontShowAgain()->setChecked(true);
            dlg->findChild<QPushButton*>()->click();
            QTRY_COMPARE(dirs_->Ini().ReadString("General", "demoInstructions", ""), QString("0"));
        }
        {
            TWindowUnderTest w;
            w->show();
            QTest::qWait(100);
            QVERIFY(w->Controller().InstructionsDone);
            QVERIFY(!OpenInstructions(w.window.get()));
        }
    }

    void statusBarPanels() {
        TWindowUnderTest w;
        int records = 0;
        TFakeMainFeatures hooks;
        hooks.OnRecordCount = [&](ICallGrids::Grid) { return records; };
        w->Controller().SetGrids(&hooks);
        w.globals.UsedSpaceKb = 0;
        w->show();
        QCOMPARE(w->StatusPanel(0)->text(), QString(" Model Demo"));
        QCOMPARE(w->StatusPanel(1)->text(), QString(" Records 0"));
        QCOMPARE(w->StatusPanel(2)->text(), QString(" Hard disk used  0.00 (Mb)"));
        QCOMPARE(w->StatusPanel(4)->text(), QString());
        QVERIFY(w->Timer2()->isActive());
        records = 1234;
        w.globals.UsedSpaceKb = 1536 + 5;  // 1.5049 MB
        w->Timer2Timer();
        QCOMPARE(w->StatusPanel(1)->text(), QString(" Records 1234"));
        QCOMPARE(w->StatusPanel(2)->text(), QString(" Hard disk used  1.50 (Mb)"));
        // The texts are readable in full, also with a large count and a large used space.
        records = 1234567;
        w.globals.UsedSpaceKb = 123456789;
        w->Timer2Timer();
        QCOMPARE(w->StatusPanel(2)->text(), QString(" Hard disk used  120563.27 (Mb)"));
        QTest::qWait(20);
        for (int i = 0; i < 3; ++i) {
            QLabel* panel = w->StatusPanel(i);
            QVERIFY2(panel->contentsRect().width() >=
                         panel->fontMetrics().horizontalAdvance(panel->text()),
                     qPrintable(panel->text()));
        }
        QCOMPARE(w->StatusPanel(3)->width(), 120);
        QCOMPARE(w->StatusPanel(4)->width(), 50);
        // The progress bar sits over panel 3 and is hidden when nothing runs.
        QVERIFY(w->ProgressBar()->isHidden());
        QCOMPARE(w->ProgressBar()->parentWidget(), w->StatusPanel(3));
    }

    void viewSwitchingAndPrintItems() {
        TWindowUnderTest w;
        int fileActionUpdates = 0;
        bool playing = false;
        TFakeMainFeatures hooks;
        hooks.OnPrintPreview = [] {};
        hooks.OnPrint = [] {};
        hooks.OnPlaying = [&] { return playing; };
        hooks.OnUpdateFileActions = [&] { ++fileActionUpdates; };
        w->Controller().SetFileActions(&hooks);
        w->Controller().SetPlayer(&hooks);
        w->show();
        QAction* preview = w->Action("mmiPrintPreview");
        QAction* print = w->Action("mmiPrint");
        QCOMPARE(CheckedViewItems(w.window.get()), QStringList{"mmiLogger"});
        QVERIFY(preview->isEnabled() && print->isEnabled());

        struct Step {
            bool menu;
            int view;
            QString page;
            bool printing;
            TCallsGrid* grid;
        };
        const Step steps[] = {
            {false, 2, "ts2", false, w->gdLogger()},  // Monitor keeps the grid in use
            {false, 0, "ts1/tsLogger", true, w->gdLogger()},
            {true, 1, "ts1/tsSearch", true, w->gdSearch()},
            {true, 3, "tsAlarms", false, w->gdSearch()},
            {false, 1, "ts1/tsSearch", true, w->gdSearch()},
            {true, 2, "ts2", false, w->gdSearch()},
            {true, 0, "ts1/tsLogger", true, w->gdLogger()},
        };
        int expectedUpdates = fileActionUpdates;
        for (const Step& s : steps) {
            if (s.menu) w->Action(kViewItems[s.view])->trigger();
            else w->OutlookBar1()->Item(s.view)->click();
            ++expectedUpdates;
            QCOMPARE(w->CurrentView(), s.view);
            QCOMPARE(CurrentPage(w.window.get()), s.page);
            QCOMPARE(CheckedViewItems(w.window.get()), QStringList{kViewItems[s.view]});
            QCOMPARE(w->OutlookBar1()->Selected(), s.view);
            QCOMPARE(preview->isEnabled(), s.printing);
            QCOMPARE(print->isEnabled(), s.printing);
            QCOMPARE(w->ActiveGrid(), s.grid);
            QCOMPARE(fileActionUpdates, expectedUpdates);
        }
        // Triggering the checked item again keeps it the only checked one.
        w->Action("mmiLogger")->trigger();
        QCOMPARE(CheckedViewItems(w.window.get()), QStringList{"mmiLogger"});
        // While the player plays, switching leaves the file actions alone.
        playing = true;
        int before = fileActionUpdates;
        w->Action("mmiSearch")->trigger();
        QCOMPARE(fileActionUpdates, before);

        // Without a printing part the two items stay disabled in every view.
        TFakeMainFeatures::Unplug(w->Controller());
        for (int v = 0; v < 4; ++v) {
            w->ShowView(v);
            QVERIFY(!preview->isEnabled());
            QVERIFY(!print->isEnabled());
        }
    }

    void toolbarAndStatusBarSurviveRestarts() {
        {
            TWindowUnderTest w;
            QVERIFY(w->Action("mmiToolbar")->isChecked());
            QVERIFY(w->Action("mmiStatusBar")->isChecked());
            w->Action("mmiToolbar")->trigger();
            QVERIFY(w->Panel9()->isHidden());
            QVERIFY(!w->Action("mmiToolbar")->isChecked());
            // Written at once, not only at the end of the run.
            QCOMPARE(dirs_->Ini().ReadString("General", "Toolbar", ""), QString("0"));
        }
        {
            TWindowUnderTest w;
            w->show();
            QVERIFY(w->Panel9()->isHidden());
            QVERIFY(!w->Action("mmiToolbar")->isChecked());
            QVERIFY(w->StatusBar1()->isVisible());
            w->Action("mmiStatusBar")->trigger();
            QVERIFY(w->StatusBar1()->isHidden());
            w->Action("mmiToolbar")->trigger();
            QVERIFY(w->Panel9()->isVisible());
        }
        {
            TWindowUnderTest w;
            w->show();
            QVERIFY(w->Panel9()->isVisible());
            QVERIFY(w->Action("mmiToolbar")->isChecked());
            QVERIFY(w->StatusBar1()->isHidden());
            QVERIFY(!w->Action("mmiStatusBar")->isChecked());
            QCOMPARE(dirs_->Ini().ReadString("General", "statusBar", ""), QString("0"));
        }
    }

    void externalToolCaptions_data() {
        QTest::addColumn<QString>("enable");
        QTest::addColumn<QString>("caption");  // "-" leaves the key out
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("item");
        QTest::newRow("17 characters") << "1" << "Open in the mixer" << "Open in the ..."
                                       << "Open in the mixer";
        QTest::newRow("16 characters") << "1" << "Open in an edito" << "Open in an edito"
                                       << "Open in an edito";
        QTest::newRow("no caption") << "1" << "-" << "Caption not ..." << "Caption not found";
        QTest::newRow("switched off") << "0" << "Open in the mixer" << "" << "";
        QTest::newRow("never set") << "-" << "Open in the mixer" << "" << "";
    }

    void externalToolCaptions() {
        QFETCH(QString, enable);
        QFETCH(QString, caption);
        QFETCH(QString, button);
        QFETCH(QString, item);
        if (enable != "-") dirs_->Seed("External tool", "ToolEnable", enable);
        if (caption != "-") dirs_->Seed("External tool", "caption", caption);
        TWindowUnderTest w;
        w->show();
        QAction* menuItem = w->Action("mmiExternalTool");
        QToolButton* speed = w->SpeedButton1();
        QCOMPARE(speed->text(), button);
        QCOMPARE(menuItem->text(), item);
        bool on = enable == "1";
        QCOMPARE(speed->isVisible(), on);
        QCOMPARE(menuItem->isVisible(), on);
    }

    void externalToolFollowsTheSettingsDialog() {
        dirs_->Seed("External tool", "ToolEnable", "1");
        dirs_->Seed("External tool", "caption", "Sox");
        TWindowUnderTest w;
        int dialogs = 0;
        TFakeMainFeatures hooks;
        hooks.OnShowConfig = [&] {
            ++dialogs;
            w.globals.SettingsIni.WriteBool("External tool", "ToolEnable", dialogs == 1);
            w.globals.SettingsIni.WriteString("External tool", "caption",
                                              "Transcribe this call now");
        };
        w->Controller().SetSupervision(&hooks);
        w->show();
        QCOMPARE(w->SpeedButton1()->text(), QString("Sox"));
        w->ToolbarButton("btnSettings")->click();
        QCOMPARE(dialogs, 1);
        QCOMPARE(w->SpeedButton1()->text(), QString("Transcribe t..."));
        QCOMPARE(w->Action("mmiExternalTool")->text(), QString("Transcribe this call now"));
        w->Action("mmiSettings")->trigger();
        QCOMPARE(dialogs, 2);
        QVERIFY(w->SpeedButton1()->isHidden());
        QVERIFY(!w->Action("mmiExternalTool")->isVisible());
    }

    void settingsBehindTheAdministratorPassword() {
        TWindowUnderTest w;
        int dialogs = 0;
        bool passwordRight = false;
        TFakeMainFeatures hooks;
        hooks.OnShowConfig = [&] { ++dialogs; };
        w->Controller().SetSupervision(&hooks);
        w->Passwords().SetPrompt([&](TPasswordCheck::Kind) { return passwordRight; });
        w.globals.SettingsRegistry.WriteBool("General", "delato", true);
        w->ToolbarButton("btnSettings")->click();
        QCOMPARE(dialogs, 0);
        QCOMPARE(messages_->Shown.last(), QString(CoreTexts::kPasswordFailed));
        passwordRight = true;
        w->ToolbarButton("btnSettings")->click();
        QCOMPARE(dialogs, 1);
    }

    void externalToolRuns_data() {
        QTest::addColumn<QString>("comLine");
        QTest::addColumn<QString>("current");  // file name of the current call
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("args");  // empty: nothing runs
        QTest::addColumn<QString>("workDir");
        QTest::addColumn<QString>("message");
        QTest::newRow("%s, empty list") << "%s" << "" << 33 << QStringList() << "" << "";
        QTest::newRow("%S, a call") << "%S" << "0_20261207_100000.wav" << 33
                                    << QStringList{"/rec/0_20261207_100000.wav"} << "/rec/"
                                    << "";
        QTest::newRow("own arguments")
            << "--play \"/tmp/two words.wav\" -v" << "x.wav" << 33
            << QStringList{"--play", "/tmp/two words.wav", "-v"} << "" << "";
        QTest::newRow("no command line") << "" << "x.wav" << 33 << QStringList() << "" << "";
        QTest::newRow("program missing")
            << "-v" << "" << 2 << QStringList{"-v"} << "" << "The specified file was not found.";
        QTest::newRow("result without a text") << "-v" << "" << 4 << QStringList{"-v"} << ""
                                               << "";
    }

    void externalToolRuns() {
        QFETCH(QString, comLine);
        QFETCH(QString, current);
        QFETCH(int, result);
        QFETCH(QStringList, args);
        QFETCH(QString, workDir);
        QFETCH(QString, message);
        dirs_->Seed("External tool", "ToolEnable", "1");
        dirs_->Seed("External tool", "caption", "Tool");
        dirs_->Seed("External tool", "Executable", "/usr/bin/player");
        dirs_->Seed("External tool", "comLine", comLine);
        TWindowUnderTest w;
        w.settings.edtFolder = "/rec/";
        TFakeMainFeatures hooks;
        hooks.OnCurrentFileName = [&](ICallGrids::Grid) { return current; };
        w->Controller().SetGrids(&hooks);
        w->show();
        messages_->Shown.clear();
        TRecordingShell shell;
        shell.Result = result;
        w->SpeedButton1()->click();
        w->Action("mmiExternalTool")->trigger();
        if (args.isEmpty()) {
            QVERIFY(shell.Runs.empty());
        } else {
            QCOMPARE(int(shell.Runs.size()), 2);
            for (const auto& run : shell.Runs) {
                QCOMPARE(run.Executable, QString("/usr/bin/player"));
                QCOMPARE(run.Args, args);
                QCOMPARE(run.WorkDir, workDir);
            }
        }
        QStringList expected;
        if (!message.isEmpty()) expected << message << message;
        QCOMPARE(messages_->Shown, expected);
    }

    void helpReportsTheShellResult() {
        TWindowUnderTest w;
        w.globals.ProgramDir = "/opt/pelmorant";
        w->show();
        messages_->Shown.clear();
        TRecordingShell shell;
        shell.Result = 2;
        w->ToolbarButton("btnHelp")->click();
        QCOMPARE(messages_->Shown, QStringList{"The specified file was not found."});
        shell.Result = 33;
        w->Action("mmiContents")->trigger();
        QCOMPARE(messages_->Shown.size(), 1);
        QCOMPARE(shell.Opened.size(), 2);
        QVERIFY(shell.Opened[0].startsWith("/opt/pelmorant/"));
        QCOMPARE(shell.Opened[0], shell.Opened[1]);
    }

    void monitorTilesFollowTheChannels() {
        TTestClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0)), TTestClock::Install::Yes};
        TWindowUnderTest w;
        w->ShowView(TfmPelmUsb::vMonitor);
        w.channels[0].Tag = "Front desk";
        w->show();
        const auto& tiles = w->Monitor()->Tiles();
        QCOMPARE(tiles.size(), 2);
        auto check = [&](int k, int tag, const QPixmap& picture, const QString& state,
                         const QString& name) {
            const TMonitorPage::Tile& t = tiles[k];
            QCOMPARE(t.StateImage->Tag(), tag);
            QVERIFY(SamePicture(t.StateImage->pixmap(), picture));
            QCOMPARE(t.StateLabel->text(), state);
            QCOMPARE(t.NameLabel->text(), name);
        };
        // Out of operation after start: both Off.
        check(0, 0, TPictures::TileOff(), "Off", "Front desk");
        check(1, 0, TPictures::TileOff(), "Off", "#1");
        QCOMPARE(tiles[1].StateImage->pos(), QPoint(115, 30));

        w.channels[0].Operation = true;
        w->Timer1Timer();
        check(0, 1, TPictures::TileIdle(), "Idle", "Front desk");

        // A call that has lasted a day less one second, then one second more.
        w.channels[0].Idle = false;
        w.channels[0].StartTime = ToDateTime(clock.now.addSecs(-(23 * 3600 + 59 * 60 + 59)));
        w->Timer1Timer();
        check(0, 2, TPictures::TileRecord(), "23:59:59", "Front desk");
        clock.now = clock.now.addSecs(1);
        w->Timer1Timer();
        check(0, 2, TPictures::TileRecord(), "00:00:00", "Front desk");

        // A call on a channel that is off counts, but keeps the Off picture.
        w.channels[1].Idle = false;
        w.channels[1].StartTime = ToDateTime(clock.now.addSecs(-7));
        w.channels[1].Tag = "Back office";
        w->Timer1Timer();
        check(1, 0, TPictures::TileOff(), "00:00:07", "Back office");

        // Switched off during the call: Record until it ends, then Off in the same tick.
        w.channels[0].Operation = false;
        w->Timer1Timer();
        check(0, 2, TPictures::TileRecord(), "00:00:00", "Front desk");
        w.channels[0].Idle = true;
        w->Timer1Timer();
        check(0, 0, TPictures::TileOff(), "Off", "Front desk");

        // Back in operation and shown again: Idle from the show on.
        w.channels[0].Operation = true;
        w->hide();
        w->show();
        check(0, 1, TPictures::TileIdle(), "Idle", "Front desk");
    }

    void developerShortcuts_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expected");
        const int alt = Qt::AltModifier;
        QTest::newRow("KUDOX, window") << QStringList{"KUDOX"} << "window" << alt << 1;
        QTest::newRow("kudox, logger grid") << QStringList{"kudox"} << "gdLogger" << alt << 1;
        QTest::newRow("KUDOX, search grid") << QStringList{"KUDOX"} << "gdSearch" << alt << 1;
        QTest::newRow("KUDOX, Ctrl+Alt") << QStringList{"KUDOX"} << "window"
                                         << int(alt | Qt::ControlModifier) << 0;
        QTest::newRow("KUDOX, no Alt") << QStringList{"KUDOX"} << "gdLogger" << 0 << 0;
        QTest::newRow("no switch") << QStringList() << "window" << alt << 0;
        QTest::newRow("no switch, grid") << QStringList() << "gdLogger" << alt << 0;
        QTest::newRow("switch not first") << QStringList{"STARTUP", "KUDOX"} << "window" << alt
                                          << 0;
    }

    void developerShortcuts() {
        QFETCH(QStringList, args);
        QFETCH(QString, target);
        QFETCH(int, modifiers);
        QFETCH(int, expected);
        dirs_->Seed("General", "demoInstructions", "0");
        TWindowUnderTest w(args);
        int config = 0, database = 0, tests = 0;
        TFakeMainFeatures hooks;
        hooks.OnShowConfig = [&] { ++config; };
        hooks.OnShowDatabaseWindow = [&] { ++database; };
        hooks.OnShowTestsWindow = [&] { ++tests; };
        w->Controller().SetSupervision(&hooks);
        w->show();
        QWidget* to = target == "window" ? static_cast<QWidget*>(w.window.get())
                                         : w->findChild<QWidget*>(target);
        QSignalSpy log(w.window.get(), &TfmPelmUsb::logWindowRequested);
        auto mods = Qt::KeyboardModifiers(modifiers);
        QTest::keyClick(to, Qt::Key_2, mods);
        QTest::keyClick(to, Qt::Key_3, mods);
        QTest::keyClick(to, Qt::Key_4, mods);
        QTest::keyClick(to, Qt::Key_5, mods);
        QCOMPARE(log.count(), expected);
        QCOMPARE(config, expected);
        QCOMPARE(database, expected);
        QCOMPARE(tests, expected);
    }

    void altThreeAsksForTheAdministratorPassword() {
        dirs_->Seed("General", "demoInstructions", "0");
        TWindowUnderTest w({"KUDOX"});
        int config = 0;
        bool right = false;
        TFakeMainFeatures hooks;
        hooks.OnShowConfig = [&] { ++config; };
        w->Controller().SetSupervision(&hooks);
        w->Passwords().SetPrompt([&](TPasswordCheck::Kind kind) {
            return kind == TPasswordCheck::Kind::Administrator && right;
        });
        w.globals.SettingsRegistry.WriteBool("General", "delato", true);
        w->show();
        messages_->Shown.clear();
        QTest::keyClick(w.window.get(), Qt::Key_3, Qt::AltModifier);
        QCOMPARE(config, 0);
        QCOMPARE(messages_->Shown, QStringList{"Password failed"});
        right = true;
        QTest::keyClick(w.window.get(), Qt::Key_3, Qt::AltModifier);
        QCOMPARE(config, 1);
    }
};

PELM_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
