// The real executable as separate processes, with no display (offscreen) and no sound server:
// one instance per user, the second start showing the first, an orderly end on SIGTERM, SIGINT
// and SIGHUP, a killed instance that keeps its log lines and does not block the next start, and
// a data folder that is not there.
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "CoreTexts.h"
#include "GuiSupport.h"

namespace {

// The start, show and end messages of the log file, in order (the other modules' lines are
// left out).
QStringList LoggedMessages(const QString& path) {
    static const QStringList kWatched = {CoreTexts::kNewSession, CoreTexts::kShownOnRequest,
                                         CoreTexts::kClosingProgram};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts)) {
        int open = line.indexOf("  (");
        QString message = open >= 0 ? line.mid(open + 3).chopped(1) : line;
        if (kWatched.contains(message)) out << message;
    }
    return out;
}

}  // namespace

class TestProcess : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::vector<std::unique_ptr<QProcess>> started_;

    QProcess* Launch(const QStringList& args,
                     QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the fresh dirs
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("PULSE_SERVER", "unix:" + dirs_->Root() + "/no-sound-server");
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(channels);
        p->start(PELM_PROGRAM, args);
        QProcess* raw = p.get();
        started_.push_back(std::move(p));
        return raw;
    }

    // The window has been shown and the event loop runs: the first activation has written
    // "demoInstructions" (the tests start without it).
    bool WaitUntilRunning(QProcess* p) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000) {
            if (p->state() == QProcess::NotRunning) return false;
            if (dirs_->Ini().ValueExists("General", "demoInstructions")) return true;
            QTest::qWait(50);
        }
        return false;
    }

    static bool EndsWith(QProcess* p, int signal) {
        ::kill(static_cast<pid_t>(p->processId()), signal);
        return p->waitForFinished(60000) && p->exitStatus() == QProcess::NormalExit &&
               p->exitCode() == 0;
    }

private slots:
    void init() { dirs_ = std::make_unique<TFreshUserDirs>(); }
    void cleanup() {
        for (auto& p : started_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
        started_.clear();
        dirs_.reset();
    }

    void secondStartShowsTheRunningOne() {
        dirs_->Seed("General", "StartUp", "1");
        QProcess* first = Launch({"STARTUP"});
        QVERIFY(WaitUntilRunning(first));
        QTest::qWait(1000);  // ten monitor ticks: the window has gone to the tray

        QProcess* second = Launch({});
        QVERIFY2(second->waitForFinished(30000), "the second start did not end by itself");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QTest::qWait(300);
        QCOMPARE(first->state(), QProcess::Running);

        QVERIFY(EndsWith(first, SIGTERM));
        // One session only: the second start created no window of its own.
        QCOMPARE(LoggedMessages(dirs_->LogPath()),
                 (QStringList{CoreTexts::kNewSession, CoreTexts::kShownOnRequest,
                              CoreTexts::kClosingProgram}));
    }

    void endsInOrderOnSignals_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void endsInOrderOnSignals() {
        QFETCH(int, signal);
        QProcess* p = Launch({});
        QVERIFY(WaitUntilRunning(p));
        QVERIFY(EndsWith(p, signal));
        QCOMPARE(LoggedMessages(dirs_->LogPath()),
                 (QStringList{CoreTexts::kNewSession, CoreTexts::kClosingProgram}));
        TIniFile ini = dirs_->Ini();
        QCOMPARE(ini.ReadInteger("fmPelmUsb", "width", 0), 949);
        QCOMPARE(ini.ReadInteger("General", "Volume", -1), 2);
    }

    void killedInstanceDoesNotBlockTheNextStart() {
        QProcess* first = Launch({});
        QVERIFY(WaitUntilRunning(first));
        first->kill();
        QVERIFY(first->waitForFinished(30000));
        // The killed session's lines reached the file as they were logged.
        QCOMPARE(LoggedMessages(dirs_->LogPath()), QStringList{CoreTexts::kNewSession});
        QFile::remove(dirs_->IniPath());

        QProcess* next = Launch({});
        QVERIFY2(WaitUntilRunning(next), "the left-over lock of a killed run blocked the start");
        QVERIFY(EndsWith(next, SIGTERM));
        QCOMPARE(LoggedMessages(dirs_->LogPath()),
                 (QStringList{CoreTexts::kNewSession, CoreTexts::kNewSession,
                              CoreTexts::kClosingProgram}));
    }

    // registry.ini names a data folder on a drive that is not connected. With no display to
    // ask on, the program says so and ends; it makes no new, empty data folder in its place.
    void aMissingDataFolderEndsTheStartWithoutMakingIt() {
        const QString drive = dirs_->Root() + "/usb-drive";
        const QString gone = drive + "/Pelmorant";
        TPelmGlobals::MakePrivateDir(dirs_->Root() + "/config/Pelmorant");
        TIniFile registry(dirs_->Root() + "/config/Pelmorant/registry.ini");
        QVERIFY(registry.WriteString("Params", "appDataDir", gone));

        QProcess* p = Launch({}, QProcess::SeparateChannels);
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 1);
        const QString said = QString::fromUtf8(p->readAllStandardError());
        QVERIFY2(said.contains(
                     QString(CoreTexts::kDataFolderMissingQuit).arg(gone, registry.FileName())),
                 qPrintable(said));
        QVERIFY(!QFileInfo::exists(drive));
        QVERIFY(!QFileInfo::exists(dirs_->DataDir()));
        QCOMPARE(TIniFile(registry.FileName()).ReadString("Params", "appDataDir", ""), gone);
    }
};

PELM_GUI_TEST_MAIN(TestProcess)
#include "tst_process.moc"
