// The program's modules as the executable starts them: closing hides while Exit ends with the
// log saved, "STARTUP" hides the window at the first monitor tick, a restore shows it again
// (behind the access password), and Alt+2 opens the event log window with "KUDOX".
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>

#include "CoreTexts.h"
#include "FakeMainFeatures.h"
#include "GuiSupport.h"
#include "TCallsGrid.h"
#include "TEventLog.h"
#include "TPelmApplication.h"
#include "TfmLog.h"

namespace {

QStringList LogFileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(f.readAll());
    QStringList lines = text.split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The messages of the lines this file is about (start, end and the test's own call), in
// order; the other modules' lines are left out.
QStringList Messages(const QStringList& lines) {
    static const QStringList kWatched = {CoreTexts::kNewSession, CoreTexts::kClosingProgram,
                                         "<#0> (Demo stop recording)"};
    QStringList out;
    for (const QString& l : lines) {
        int open = l.indexOf("  (");
        int channel = l.indexOf("  <#");
        if (channel >= 0 && (open < 0 || channel < open)) out << l.mid(channel + 2);
        else if (open >= 0) out << l.mid(open + 3).chopped(1);
    }
    out.removeIf([](const QString& m) { return !kWatched.contains(m); });
    return out;
}

// The window was sent to the tray (or, with no tray to come back from, minimised).
bool HiddenToTray(QWidget* w) {
    return QSystemTrayIcon::isSystemTrayAvailable() ? !w->isVisible() : w->isMinimized();
}

}  // namespace

class TestLifecycle : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() {
        dirs_ = std::make_unique<TFreshUserDirs>();
        messages_ = std::make_unique<TRecordingMessages>();
        dirs_->Seed("General", "demoInstructions", "0");
    }
    void cleanup() {
        messages_.reset();
        dirs_.reset();
    }

    void closeHidesExitEnds() {
        auto program = StartProgram({});
        QVERIFY(program);
        TfmPelmUsb* w = program->MainWindow();
        int ended = 0;
        bool callActive = true;
        TFakeMainFeatures hooks;
        hooks.OnCallActive = [&] { return callActive; };
        hooks.OnRecord = [&] {
            ++ended;
            callActive = false;
            LogChannel(0, "Demo stop recording");
        };
        w->Controller().SetRecorder(&hooks);
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // The close button only hides; the call goes on and nothing is saved. The log file holds
        // the lines logged so far (each goes there as it is logged), and no end.
        QVERIFY(!w->close());
        QVERIFY(HiddenToTray(w));
        QVERIFY(!w->Controller().CanExit);
        QCOMPARE(ended, 0);
        QVERIFY(!Messages(program->Log()->Lines()).contains(CoreTexts::kClosingProgram));
        QCOMPARE(Messages(LogFileLines(dirs_->LogPath())), Messages(program->Log()->Lines()));
        QVERIFY(w->Timer1()->isActive());

        // Exit completes the call, then logs the end and saves the log.
        w->Action("mmiExit")->trigger();
        QVERIFY(w->Controller().CanExit);
        QCOMPARE(ended, 1);
        QVERIFY(!w->Timer1()->isActive());
        QVERIFY(!w->Timer2()->isActive());
        QStringList saved = Messages(LogFileLines(dirs_->LogPath()));
        QCOMPARE(saved, (QStringList{"New session...", "<#0> (Demo stop recording)",
                                     "Closing program..."}));
        QVERIFY(!messages_->Shown.contains(CoreTexts::kErrorInFormClose));
        program.reset();

        // A second run appends to the same file; the tray's Exit takes the same path.
        program = StartProgram({});
        QVERIFY(program);
        program->MainWindow()->TrayIcon()->contextMenu()->findChild<QAction*>("pmiExit")->trigger();
        saved = Messages(LogFileLines(dirs_->LogPath()));
        QCOMPARE(saved, (QStringList{"New session...", "<#0> (Demo stop recording)",
                                     "Closing program...", "New session...",
                                     "Closing program..."}));
    }

    void sessionEndEndsTheProgram() {
        auto program = StartProgram({});
        QVERIFY(program);
        program->MainWindow()->SessionEnding();
        QCOMPARE(Messages(LogFileLines(dirs_->LogPath())),
                 (QStringList{"New session...", "Closing program..."}));
    }

    void startupSwitch_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("startUp");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("STARTUP, on") << QStringList{"STARTUP"} << "1" << true;
        QTest::newRow("startup, on") << QStringList{"startup"} << "1" << true;
        QTest::newRow("STARTUP, off") << QStringList{"STARTUP"} << "0" << false;
        QTest::newRow("no switch, on") << QStringList() << "1" << false;
        QTest::newRow("switch second") << QStringList{"KUDOX", "STARTUP"} << "1" << false;
    }

    void startupSwitch() {
        QFETCH(QStringList, args);
        QFETCH(QString, startUp);
        QFETCH(bool, hidden);
        dirs_->Seed("General", "StartUp", startUp);
        auto program = StartProgram(args);
        QVERIFY(program);
        TfmPelmUsb* w = program->MainWindow();
        QVERIFY(w->isVisible());  // shown first in every case
        QTRY_VERIFY(!w->Controller().FirstTick);
        QCOMPARE(w->isVisible(), !hidden);
        // Later ticks leave the window as it is.
        QTest::qWait(250);
        QCOMPARE(w->isVisible(), !hidden);
        QVERIFY(w->Timer1()->isActive());
    }

    void restoreShowsTheHiddenWindow() {
        dirs_->Seed("General", "StartUp", "1");
        auto program = StartProgram({"STARTUP"});
        QVERIFY(program);
        TfmPelmUsb* w = program->MainWindow();
        QTRY_VERIFY(!w->isVisible());
        bool right = false;
        int asked = 0;
        w->Passwords().SetPrompt([&](TPasswordCheck::Kind kind) {
            ++asked;
            return kind == TPasswordCheck::Kind::Access && right;
        });

        // With the access password on, a wrong one keeps the window in the tray.
        TPelmGlobals::Instance().SettingsRegistry.WriteBool("General", "zilota", true);
        messages_->Shown.clear();
        w->Restore();
        QCOMPARE(asked, 1);
        QVERIFY(!w->isVisible());
        QCOMPARE(messages_->Shown, QStringList{CoreTexts::kPasswordFailed});
        right = true;
        w->Restore();
        QVERIFY(w->isVisible());
        QVERIFY(w->Controller().Shown);
        QCOMPARE(asked, 2);  // the show after a restore does not ask again

        // Without it, the tray's Restore shows the window at once.
        TPelmGlobals::Instance().SettingsRegistry.WriteBool("General", "zilota", false);
        w->HideToTray();
        QVERIFY(HiddenToTray(w));
        w->TrayIcon()->contextMenu()->findChild<QAction*>("pmiRestore")->trigger();
        QVERIFY(w->isVisible() && !w->isMinimized());
        QCOMPARE(asked, 2);
    }

    void altTwoOpensTheEventLog_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("opens");
        QTest::newRow("KUDOX") << QStringList{"KUDOX"} << true;
        QTest::newRow("without") << QStringList() << false;
    }

    void altTwoOpensTheEventLog() {
        QFETCH(QStringList, args);
        QFETCH(bool, opens);
        auto program = StartProgram(args);
        QVERIFY(program);
        TfmPelmUsb* w = program->MainWindow();
        QVERIFY(!program->LogWindow()->isVisible());
        QTest::keyClick(w->gdLogger(), Qt::Key_2, Qt::AltModifier);
        QCOMPARE(program->LogWindow()->isVisible(), opens);
        if (opens) {
            QCOMPARE(program->LogWindow()->windowTitle(), QString("Events"));
            QTRY_VERIFY(program->LogWindow()->Memo1()->toPlainText().contains("New session..."));
        }
    }
};

PELM_GUI_TEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
