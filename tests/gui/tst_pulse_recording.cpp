// Calls recorded from a real sound server: the program captures the server's 440 Hz sine
// source through Qt Multimedia in each codec, files every call with its recording, and ffprobe
// and ffmpeg read the files as the codec and the tone that went in.
#include <QtTest>
#include <cmath>

#include "CallSupport.h"
#include "GuiSupport.h"
#include "TEventLog.h"
#include "TPulseMixer.h"
#include "TPulseServer.h"
#include "ToneAnalysis.h"

namespace {

QString Run(const QString& program, const QStringList& args, int* status = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    if (status) *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestPulseRecording : public QObject {
    Q_OBJECT
private:
    TPulseServer server_;
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

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
    }
    void cleanup() {
        messages_.reset();
        dirs_.reset();
    }

    void theMixerRestoresTheInputChosenBefore() {
        auto volume = [] {
            QString listing;
            TPulseMixer::SourceState s;
            TPulseServer::Pactl({"list", "sources"}, &listing);
            TPulseMixer::ParseSource(listing, "sine", s);
            return s.Volume;
        };
        QVERIFY(TPulseServer::Pactl({"set-source-volume", "sine", "30000"}));
        TPulseMixer mixer;
        QVERIFY(mixer.SelectMicrophone());
        QCOMPARE(volume(), QString("30000"));
        QVERIFY(
            TPulseServer::Pactl({"set-source-volume", "sine", "50000"}));  // moved during the call
        QVERIFY(mixer.RestoreRecordingInput());
        QCOMPARE(volume(), QString("30000"));
        QVERIFY(TPulseServer::Pactl({"set-source-volume", "sine", "65536"}));
    }

    void everyCodecRecordsTheSineSource_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("codec");
        QTest::newRow("a-Law") << 0 << ".wav"
                               << "pcm_alaw";
        QTest::newRow("u-Law") << 1 << ".wav"
                               << "pcm_mulaw";
        QTest::newRow("IMA ADPCM") << 2 << ".wav"
                                   << "adpcm_ima_wav";
        QTest::newRow("GSM") << 3 << ".wav"
                             << "gsm_ms";
        QTest::newRow("MP3") << 4 << ".mp3"
                             << "mp3";
    }
    void everyCodecRecordsTheSineSource() {
        QFETCH(int, item);
        QFETCH(QString, extension);
        QFETCH(QString, codec);
        auto p = StartProgram({});
        QVERIFY(p);
        TLiveSettings::Instance().cbxCompression = item;
        const int shown = messages_->Shown.size();
        RecordCall(*p, 3500);
        QVERIFY2(messages_->Shown.size() == shown, qPrintable(messages_->Shown.join(" | ")));
        const auto calls = FiledCalls(*p);
        QCOMPARE(int(calls.size()), 1);
        const TFiledCall& call = calls[0];
        QVERIFY2(IsFinalName(call.FileName, extension), qPrintable(call.FileName));
        QVERIFY(call.InOut == 0 || call.InOut == 1);
        QFileInfo file(call.Path);
        QVERIFY(file.size() > 1000);
        QCOMPARE(call.FileSizeKb, TfmPelmorantDB::RoundFileSizeKb(file.size()));

        int status = 0;
        const QString probe =
            Run("ffprobe",
                {"-v", "error", "-show_entries", "stream=codec_name,sample_rate,channels", "-of",
                 "default=noprint_wrappers=1", call.Path},
                &status);
        QCOMPARE(status, 0);
        QVERIFY2(probe.contains("codec_name=" + codec + "\n"), qPrintable(probe));
        QVERIFY2(probe.contains("sample_rate=11025\n"), qPrintable(probe));
        QVERIFY2(probe.contains("channels=1\n"), qPrintable(probe));

        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-nostdin", "-v", "error", "-i", call.Path, "-f", "s16le", "-ac",
                                "1", "-ar", "11025", "-"});
        QVERIFY(ffmpeg.waitForFinished(30000));
        QCOMPARE(ffmpeg.exitCode(), 0);
        const QByteArray pcm = ffmpeg.readAllStandardOutput();
        QVERIFY2(pcm.size() > 2 * 11025, qPrintable(QString::number(pcm.size())));
        // The middle of the call: clear of the codecs' start-up.
        const QByteArray middle = pcm.mid(pcm.size() / 4, pcm.size() / 2);
        const double f = audiotest::DominantFrequency(std::span(
            reinterpret_cast<const int16_t*>(middle.constData()), size_t(middle.size() / 2)));
        QVERIFY2(std::abs(f - 440) <= 440 * 0.02, qPrintable(QString::number(f)));
    }
};

PELM_GUI_TEST_MAIN(TestPulseRecording)
#include "tst_pulse_recording.moc"
