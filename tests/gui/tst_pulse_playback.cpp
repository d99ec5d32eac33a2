// Recordings played by the running program on a real sound server: its null sink is the sound
// card, and parec records the sink's monitor. A call is recorded from the server's 440 Hz sine
// source in each codec, then played with the panel's buttons: the monitor carries the tone for
// the recording's length. Pause silences it and Play resumes; a seek is heard at once; "to end"
// leaves a moment; a row on the backup medium plays from the volume standing for it, and a wrong
// label is refused. The audible alarm beeps through the same sound card.
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "BrowsingTexts.h"
#include "CallSupport.h"
#include "CodecTable.h"
#include "GuiSupport.h"
#include "TAlarms.h"
#include "TAlarmsPage.h"
#include "TCallsGrid.h"
#include "TOneVolume.h"
#include "TPlayerPanel.h"
#include "TPulseServer.h"
#include "TVolumeSpace.h"
#include "TdeRIFFAudioReader.h"
#include "ToneAnalysis.h"

namespace {

// parec on the null sink's monitor: 16-bit mono at 11025 Hz.
class MonitorCapture {
public:
    MonitorCapture() {
        process_.start("parec", {"-d", "nullsink.monitor", "--raw", "--format=s16le",
                                 "--rate=11025", "--channels=1", "--latency-msec=20"});
    }
    bool Started() { return process_.waitForStarted(5000); }
    // Stops and gives what was recorded.
    std::vector<int16_t> Stop() {
        QTest::qWait(300);
        process_.terminate();
        process_.waitForFinished(5000);
        const QByteArray raw = process_.readAllStandardOutput();
        std::vector<int16_t> s(static_cast<size_t>(raw.size() / 2));
        std::memcpy(s.data(), raw.constData(), s.size() * 2);
        return s;
    }

private:
    QProcess process_;
};

// Seconds of sound: from the first to the last 20 ms window above the silence level.
struct Sounding {
    double First = -1;
    double Last = -1;
    double Length() const { return First < 0 ? 0 : Last - First; }
};
Sounding SoundIn(const std::vector<int16_t>& s) {
    const size_t window = 220;
    Sounding r;
    for (size_t at = 0; at + window <= s.size(); at += window) {
        if (audiotest::Rms(std::span(s).subspan(at, window)) < 300) continue;
        const double t = double(at) / audiotest::kRate;
        if (r.First < 0) r.First = t;
        r.Last = t + window / audiotest::kRate;
    }
    return r;
}

// Seconds of the longest silence between the first and the last sound.
double LongestSilence(const std::vector<int16_t>& s, const Sounding& sound) {
    const size_t window = 220;
    size_t longest = 0, run = 0;
    for (size_t at = size_t(sound.First * audiotest::kRate);
         at + window <= size_t(sound.Last * audiotest::kRate); at += window) {
        run = audiotest::Rms(std::span(s).subspan(at, window)) < 300 ? run + window : 0;
        longest = std::max(longest, run);
    }
    return longest / audiotest::kRate;
}

double RecordingSeconds(const QString& path) {
    const auto info = TdeRIFFAudioReader::ReadFile(QFile::encodeName(path).toStdString());
    return double(info.dataLength) / info.format.AvgBytesPerSec();
}

}  // namespace

class TestPulsePlayback : public QObject {
    Q_OBJECT
private:
    TPulseServer server_;
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

    // Records one call in `item`'s codec and makes its row the current one.
    static QString RecordOne(TPelmApplication& p, int item, int ms) {
        TLiveSettings::Instance().cbxCompression = item;
        RecordCall(p, ms);
        const auto calls = FiledCalls(p);
        if (calls.empty()) return QString();
        TCallsGrid* grid = p.MainWindow()->gdLogger();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(grid->model()->rowCount() - 1, 0));
        return calls.back().Path;
    }
    static QToolButton* Button(TPelmApplication& p, const char* name) {
        return p.MainWindow()->PlayerPanel()->Button(name);
    }
    static bool Stopped(TPelmApplication& p) {
        return !Button(p, "btnPlay")->isChecked() && !Button(p, "btnPause")->isChecked();
    }

private slots:
    void initTestCase() {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        qunsetenv("PELMORANT_AUDIO_INPUT");
        QVERIFY2(server_.Start(), qPrintable(server_.Error()));
    }
    void cleanupTestCase() { server_.Stop(); }
    void init() {
        dirs_ = std::make_unique<TFreshUserDirs>();
        messages_ = std::make_unique<TRecordingMessages>();
        dirs_->Seed("General", "demoInstructions", "0");
        dirs_->Seed("General", "Volume", "16");
        dirs_->Seed("General", "outFilter", "0");  // every call is kept, however short
    }
    void cleanup() {
        TVolumeSpace::Install(nullptr);
        messages_.reset();
        dirs_.reset();
    }

    void everyCodecPlaysTheToneForItsLength_data() {
        QTest::addColumn<int>("item");
        for (int item = 0; item < 5; ++item) QTest::newRow(CodecTable::ItemName(item)) << item;
    }
    void everyCodecPlaysTheToneForItsLength() {
        QFETCH(int, item);
        auto p = StartProgram({});
        QVERIFY(p);
        QVERIFY2(messages_->Shown.isEmpty(), qPrintable(messages_->Shown.join(" | ")));
        const QString path = RecordOne(*p, item, 2500);
        QVERIFY(!path.isEmpty());
        QVERIFY(Button(*p, "btnPlay")->isEnabled());

        MonitorCapture monitor;
        QVERIFY(monitor.Started());
        QTest::qWait(300);
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QVERIFY(Button(*p, "btnPlay")->isChecked());
        QVERIFY(
            p->MainWindow()->PlayerPanel()->lbtotTime()->text().startsWith("Total Time 00:00:0"));
        QTRY_VERIFY_WITH_TIMEOUT(Stopped(*p), 10000);
        const std::vector<int16_t> heard = monitor.Stop();
        QVERIFY2(messages_->Shown.isEmpty(), qPrintable(messages_->Shown.join(" | ")));

        const Sounding sound = SoundIn(heard);
        const double expected = RecordingSeconds(path);
        QVERIFY2(std::abs(sound.Length() - expected) <= 0.25,
                 qPrintable(
                     QString("heard %1 s of a %2 s recording").arg(sound.Length()).arg(expected)));
        const size_t from = size_t((sound.First + sound.Length() / 4) * audiotest::kRate);
        const auto middle =
            std::span(heard).subspan(from, size_t(sound.Length() / 2 * audiotest::kRate));
        const double f = audiotest::DominantFrequency(middle);
        QVERIFY2(std::abs(f - 440) <= 440 * 0.02, qPrintable(QString::number(f)));
    }

    void pauseSilencesAndPlayResumes() {
        auto p = StartProgram({});
        QVERIFY(p);
        const QString path = RecordOne(*p, 0, 3000);
        QVERIFY(!path.isEmpty());
        MonitorCapture monitor;
        QVERIFY(monitor.Started());
        QTest::qWait(300);
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QTest::qWait(1000);
        QTest::mouseClick(Button(*p, "btnPause"), Qt::LeftButton);
        QVERIFY(Button(*p, "btnPause")->isChecked());
        QTest::qWait(1200);
        QTest::mouseClick(Button(*p, "btnPause"), Qt::LeftButton);  // again: still paused
        QVERIFY(Button(*p, "btnPause")->isChecked());
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QVERIFY(Button(*p, "btnPlay")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(Stopped(*p), 10000);
        const std::vector<int16_t> heard = monitor.Stop();

        // A silence of about the pause inside the sound, and all of the recording around it.
        const Sounding sound = SoundIn(heard);
        const double gap = LongestSilence(heard, sound);
        QVERIFY2(gap > 0.9 && gap < 1.6, qPrintable(QString::number(gap)));
        const double expected = RecordingSeconds(path);
        QVERIFY2(std::abs(sound.Length() - gap - expected) <= 0.3,
                 qPrintable(QString("%1 s around a %2 s pause").arg(sound.Length()).arg(gap)));
    }

    void aSeekIsHeardAtOnce() {
        auto p = StartProgram({});
        QVERIFY(p);
        const QString path = RecordOne(*p, 3, 3000);
        QVERIFY(!path.isEmpty());
        MonitorCapture monitor;
        QVERIFY(monitor.Started());
        QTest::qWait(300);
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QTest::qWait(1500);
        QTest::mouseClick(Button(*p, "btnToStart"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Stopped(*p), 10000);
        const std::vector<int16_t> heard = monitor.Stop();
        const Sounding sound = SoundIn(heard);
        const double gap = LongestSilence(heard, sound);
        QVERIFY2(gap < 0.3, qPrintable(QString::number(gap)));
        // Some of it (the second and a half less the device's start), then all of it again.
        const double whole = RecordingSeconds(path);
        QVERIFY2(
            sound.Length() >= whole + 0.5 && sound.Length() <= whole + 1.9,
            qPrintable(QString("heard %1 s of a %2 s recording").arg(sound.Length()).arg(whole)));
    }

    void toEndLeavesAMomentAndTheBackupMediumIsChecked() {
        auto p = StartProgram({});
        QVERIFY(p);
        const QString path = RecordOne(*p, 0, 3000);
        QVERIFY(!path.isEmpty());
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QTest::qWait(200);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(Button(*p, "btnToEnd"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Stopped(*p), 3000);
        QVERIFY2(t.elapsed() < 800, qPrintable(QString::number(t.elapsed())));  // < 1024 bytes

        // The recording moved to a volume standing for the backup medium.
        QTemporaryDir medium;
        TOneVolume volume(medium.path());
        TVolumeSpace::Install(&volume);
        TLiveSettings::Instance().cbxDrive1 = 0;
        const QString name = QFileInfo(path).fileName();
        QVERIFY(QFile::rename(path, medium.path() + "/" + name));
        TVolgaTable& calls = p->Database()->tblCalls;
        calls.Last();
        calls.Edit();
        calls.FieldByName("mediumLabel").SetAsString("MEDIUM-7");
        calls.Post();
        messages_->Shown.clear();
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QCOMPARE(messages_->Shown, QStringList{BrowsingTexts::kWrongMedium});
        QVERIFY(Stopped(*p));
        QFile label(medium.path() + "/label.txt");
        QVERIFY(label.open(QIODevice::WriteOnly));
        label.write("MEDIUM-7\r\n");
        label.close();
        MonitorCapture monitor;
        QVERIFY(monitor.Started());
        QTest::qWait(300);
        QTest::mouseClick(Button(*p, "btnPlay"), Qt::LeftButton);
        QVERIFY(Button(*p, "btnPlay")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(Stopped(*p), 10000);
        const Sounding sound = SoundIn(monitor.Stop());
        QVERIFY2(std::abs(sound.Length() - RecordingSeconds(medium.path() + "/" + name)) <= 0.25,
                 qPrintable(QString::number(sound.Length())));
        QCOMPARE(messages_->Shown.size(), 1);
    }

    // The audible alarm: 800 Hz half a second on and half a second off, as many times as set;
    // "Stop alarm" during the third beep ends it after that beep.
    void theAlarmBeepsThroughTheSoundCard() {
        auto p = StartProgram({});
        QVERIFY(p);
        TLiveSettings::Instance().spnAlarmDuration = 10;
        MonitorCapture monitor;
        QVERIFY(monitor.Started());
        QTest::qWait(300);
        p->Alarms()->QueueHardwareAlarm();
        p->Alarms()->DrainAlarms();
        QVERIFY(p->Alarms()->CurrentAlarmBeep());
        QTRY_COMPARE(p->Alarms()->CurrentAlarmBeep()->BeepsStarted(), 3);
        QTest::qWait(200);
        p->MainWindow()->Pages().Alarms->StopAlarmButton()->click();
        QTest::qWait(1500);
        const std::vector<int16_t> heard = monitor.Stop();

        // The beeps: 20 ms windows with sound, gathered into runs.
        const size_t window = 220;
        std::vector<std::pair<size_t, size_t>> beeps;  // first and last window of each
        for (size_t at = 0, n = 0; at + window <= heard.size(); at += window, ++n) {
            if (audiotest::Rms(std::span(heard).subspan(at, window)) < 300) continue;
            if (beeps.empty() || n > beeps.back().second + 2) beeps.push_back({n, n});
            beeps.back().second = n;
        }
        // A new stream may start a moment late, which shortens the first beep on a loaded
        // machine; the later ones are whole and a second apart.
        QCOMPARE(int(beeps.size()), 3);
        for (size_t b = 0; b < beeps.size(); ++b) {
            const double length = (beeps[b].second - beeps[b].first + 1) * 0.02;
            const double least = b == 0 ? 0.2 : 0.4;
            QVERIFY2(length > least && length < 0.6, qPrintable(QString::number(length)));
        }
        const double period = (beeps[2].first - beeps[1].first) * 0.02;
        QVERIFY2(std::abs(period - 1.0) < 0.15, qPrintable(QString::number(period)));
        const auto first = std::span(heard).subspan((beeps[0].first + 2) * window, 10 * window);
        const double f = audiotest::DominantFrequency(first);
        QVERIFY2(std::abs(f - 800) < 16, qPrintable(QString::number(f)));
    }
};

PELM_GUI_TEST_MAIN(TestPulsePlayback)
#include "tst_pulse_playback.moc"
