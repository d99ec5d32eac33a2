// The program killed with SIGKILL (standing for a crash or a power cut) while it records, and
// started again: the call cut off is in the logger with its recording, the killed session's log
// lines are kept, and after many kills at random moments no call and no recording is lost.
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "TFreshUserDirs.h"
#include "CoreTexts.h"
#include "DatabaseFixture.h"
#include "RecordingTexts.h"
#include "TCallRecovery.h"
#include "TCallsGrid.h"
#include "TFolderTree.h"
#include "TFolderTreeView.h"
#include "TMainController.h"
#include "TPelmApplication.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"

namespace {

class KilledProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TMessages::Install(&messages);
        TLiveSettings::Instance() = TLiveSettings();
        // Every call is kept, however short; no first-start dialog.
        TPelmGlobals::MakePrivateDir(DataDir());
        TIniFile ini(DataDir() + "/Pelmorant.ini");
        ini.WriteBool("General", "outFilter", false);
        ini.WriteBool("General", "demoInstructions", false);
    }
    void TearDown() override { TMessages::Install(nullptr); }

    QString DataDir() const { return home.Root() + "/data/Pelmorant"; }
    QString WavDir() const { return DataDir() + "/wav/"; }

    // The program recording, in a process of its own.
    std::unique_ptr<QProcess> Launch(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PULSE_SERVER", "unix:" + home.Root() + "/no-sound-server");
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(PELM_CALL_RUNNER, args + QStringList{"--audio-input=tone"});
        return p;
    }
    // Reads the program's lines until `line` comes; false when it ended or took too long.
    static bool WaitFor(QProcess& p, const QByteArray& line, QByteArrayList* seen = nullptr) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000) {
            while (p.canReadLine()) {
                const QByteArray got = p.readLine().trimmed();
                if (seen) *seen << got;
                if (got.startsWith(line)) return true;
            }
            if (p.state() == QProcess::NotRunning) return false;
            p.waitForReadyRead(100);
        }
        return false;
    }
    static void Kill(QProcess& p, QByteArrayList* seen = nullptr) {
        // A process that has ended has no id (0), and kill(0) would hit the whole group.
        const auto pid = static_cast<pid_t>(p.processId());
        if (pid > 0) ::kill(pid, SIGKILL);
        p.waitForFinished(30000);
        while (p.canReadLine()) {
            const QByteArray got = p.readLine().trimmed();
            if (seen) *seen << got;
        }
    }
    // Seconds of audio ffmpeg decodes from a recording.
    static double DecodedSeconds(const QString& path) {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     {"-v", "error", "-i", path, "-f", "s16le", "-ac", "1", "-ar", "8000", "-"});
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) return -1;
        return double(ffmpeg.readAllStandardOutput().size()) / 16000.0;
    }
    static int Count(const QByteArrayList& lines, const QByteArray& start) {
        int n = 0;
        for (const QByteArray& l : lines) n += l.startsWith(start) ? 1 : 0;
        return n;
    }

    TFreshUserDirs home;
    RecordingMessages messages;
};

}  // namespace

TEST_F(KilledProgramTest, ACallCutOffByAKillIsInTheLoggerAtTheNextStartInEveryCodec) {
    for (int item = 0; item <= 4; ++item) {
        SCOPED_TRACE(item);
        std::unique_ptr<QProcess> runner = Launch({QString("--codec=%1").arg(item)});
        ASSERT_TRUE(WaitFor(*runner, "begin")) << runner->readAllStandardError().toStdString();
        QElapsedTimer recorded;
        recorded.start();
        QTest::qWait(6500);
        const double captured = recorded.elapsed() / 1000.0;
        Kill(*runner);
        ASSERT_EQ(runner->exitStatus(), QProcess::CrashExit);

        TPelmApplication program({});
        ASSERT_TRUE(program.Start());
        program.Run();
        TfmPelmorantDB* db = program.Database();
        TVolgaTable& calls = db->tblCalls;
        calls.SetFiltered(false);
        ASSERT_EQ(calls.RecordCount(), item + 1);
        calls.Last();
        EXPECT_EQ(calls.FieldByName("Memo").AsString(), RecordingTexts::kRecoveredMemo);
        const QString name = QString::fromStdString(calls.FieldByName("fileName").AsString());
        EXPECT_EQ(QFileInfo(name).suffix(), item == 4 ? "mp3" : "wav");
        // Decodes to within the last 5 seconds of what was captured (the file holds all the
        // program had written when it was killed).
        const double seconds = DecodedSeconds(WavDir() + name);
        EXPECT_GE(seconds, captured - 5.0);
        EXPECT_LE(seconds, captured + 1.0);
        EXPECT_FALSE(QFileInfo::exists(WavDir() + "0_recording.wav"));
        EXPECT_FALSE(QFileInfo::exists(WavDir() + "1_recording.wav"));

        // In the logger: its folder selected shows it.
        const QString folderId = QString::fromStdString(calls.FieldByName("FolderId").AsString());
        QStandardItem* folder = nullptr;
        for (int i = 0; i < db->Tree.Count(); ++i)
            if (TFolderTree::FolderId(db->Tree.NodeAt(i)) == folderId) folder = db->Tree.NodeAt(i);
        ASSERT_NE(folder, nullptr);
        program.MainWindow()->tree()->SelectNode(folder);
        EXPECT_GE(program.MainWindow()->gdLogger()->model()->rowCount(), 1);

        // The killed sessions' lines reached the log file.
        QFile logFile(DataDir() + "/Pelmorant.log");
        ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
        const QByteArray log = logFile.readAll();
        EXPECT_EQ(log.count(QByteArray("(") + RecordingTexts::kDemoStart + ")"), item + 1);
        EXPECT_TRUE(log.contains(RecordingTexts::kRecoveredCall));
        program.MainController()->Exit();
    }
}

// Kills anywhere: in a call, while a call is filed, while memos are saved and calls are moved
// between folders (the Calls table written again each time), between calls.
TEST_F(KilledProgramTest, FiftyKillsAtRandomMomentsLoseNoCallAndNoRecording) {
    QByteArrayList said;
    for (int run = 0; run < 50; ++run) {
        std::unique_ptr<QProcess> runner = Launch({QString("--codec=%1").arg(run % 5), "--cycle"});
        ASSERT_TRUE(WaitFor(*runner, "begin", &said))
            << run << ": " << runner->readAllStandardError().toStdString();
        // Anywhere: in a call, while it is filed, between calls.
        const int wait = QRandomGenerator::global()->bounded(0, 2500);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < wait) {
            runner->waitForReadyRead(20);
            while (runner->canReadLine()) said << runner->readLine().trimmed();
        }
        Kill(*runner, &said);
    }
    const int begun = Count(said, "begin");
    const int filed = Count(said, "filed");
    EXPECT_GT(Count(said, "moved"), 0);

    // The next start: every table loads, nothing is shown, everything left is filed.
    TPelmApplication program({});
    ASSERT_TRUE(program.Start());
    messages.shown.removeAll(CoreTexts::kNoSoundCard);  // this machine plays nothing
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join('\n').toStdString();
    TfmPelmorantDB* db = program.Database();
    TVolgaTable& calls = db->tblCalls;
    calls.SetFiltered(false);
    // Every call filed before a kill, and every one cut off that had audio.
    EXPECT_GE(calls.RecordCount(), filed);
    EXPECT_LE(calls.RecordCount(), begun);
    const QSet<QString> recorded = db->RecordedFileNames();
    const QStringList files = QDir(WavDir()).entryList(QDir::Files);
    for (const QString& f : files) {
        EXPECT_FALSE(f.endsWith("_recording.wav")) << f.toStdString();
        EXPECT_TRUE(recorded.contains(f)) << "no record: " << f.toStdString();
        EXPECT_GT(QFileInfo(WavDir() + f).size(), 0) << f.toStdString();
    }
    for (const QString& name : recorded)
        if (!name.isEmpty()) {
            EXPECT_TRUE(files.contains(name)) << "no file: " << name.toStdString();
        }
    for (const char* table : {"Calls.d", "Tree.d", "Channels.d"})
        EXPECT_TRUE(QFileInfo::exists(DataDir() + "/" + table)) << table;
    EXPECT_TRUE(db->Salvaged.isEmpty());  // no table was ever left damaged
    // Every call is in a folder the tree has.
    QSet<QString> folders;
    for (int i = 0; i < db->Tree.Count(); ++i)
        folders.insert(TFolderTree::FolderId(db->Tree.NodeAt(i)));
    int memos = 0;
    for (calls.First(); !calls.Eof(); calls.Next()) {
        EXPECT_TRUE(
            folders.contains(QString::fromStdString(calls.FieldByName("FolderId").AsString())));
        memos += calls.FieldByName("Memo").AsString().rfind("memo ", 0) == 0 ? 1 : 0;
    }
    EXPECT_GT(memos, 0);  // memos saved before a kill are kept
    program.MainController()->Exit();
}
