// The capture component over its audio input, the stand-in inputs, the input switch, and the
// recording path of a simulated call through them into the calls database.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <csignal>

#include "AudioTestSupport.h"
#include "DatabaseFixture.h"
#include "RecordingFakes.h"
#include "TAudioInputChoice.h"
#include "TCAudioRecorder.h"
#include "TCallCompletion.h"
#include "TChannelTable.h"
#include "TFilteredNumbers.h"
#include "TQtAudioInput.h"
#include "TToneAudioInput.h"
#include "TWavFileAudioInput.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioReader.h"
#include "TdmRecorder.h"
#include "TfmPelmorantDB.h"

using namespace audiotest;

namespace {

std::filesystem::path Path(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

// The audio of a WAV file decoded to 16-bit mono at 11025 Hz by our own decoders.
std::vector<int16_t> DecodeOwn(const QString& file) {
    const auto info = TdeRIFFAudioReader::ReadFile(Path(file));
    const auto bytes = ReadAll(Path(file));
    TdeAudioConvertor c;
    std::vector<uint8_t> pcm;
    Collect(c, pcm);
    c.SetInputFormat(info.format);
    c.SetOutputFormat(TdeWaveFormat::Pcm(1, 11025, 16));
    c.Open();
    c.Convert(std::span(bytes).subspan(info.dataOffset, info.dataLength));
    return ToSamples(pcm);
}

// The file's size limit of this process lowered for the length of a scope: writes past it fail
// with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit r = old_;
        r.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

class AudioRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = std::make_unique<ManualAudioInput>();
        input = owned.get();
        recorder = std::make_unique<TCAudioRecorder>(std::move(owned));
        recorder->FileName = dir.path() + "/0_recording.wav";
        recorder->OnFailure = [this](const QString& r) { failures << r; };
        TEventLog::SetInstance(&log);
    }
    void TearDown() override { TEventLog::SetInstance(nullptr); }
    QByteArray File() const {
        QFile f(recorder->FileName);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static uint32_t At(const QByteArray& b, int offset) {
        return Get32(std::span(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())),
                     size_t(offset));
    }

    QTemporaryDir dir;
    TEventLog log;
    ManualAudioInput* input = nullptr;
    std::unique_ptr<TCAudioRecorder> recorder;
    QStringList failures;
};

}  // namespace

TEST_F(AudioRecorderTest, StoppedBeforeTheFirstBlockLeavesAnEmptyFile) {
    recorder->Start();
    EXPECT_TRUE(recorder->Running());
    EXPECT_TRUE(input->open);
    // 1/8 s of the capture format plus 4, four buffers queued.
    EXPECT_EQ(input->bufferSize, 2760);
    EXPECT_EQ(input->bufferCount, 4);
    recorder->Stop();
    EXPECT_FALSE(recorder->Running());
    EXPECT_FALSE(input->open);
    EXPECT_TRUE(QFileInfo::exists(recorder->FileName));
    EXPECT_EQ(QFileInfo(recorder->FileName).size(), 0);
}

TEST_F(AudioRecorderTest, EveryCodecWritesItsLayoutAndTheToneThatWentIn) {
    // 16 capture buffers: 22080 frames, a little over two seconds.
    const auto tone = CaptureTone(440, 2760.0 * 16 / 2 / kRate);
    struct Expect {
        int item;
        uint16_t tag;
        int header;
        uint32_t data;  // 0: not fixed by the input length
    };
    for (const Expect& e :
         {Expect{0, 6, 46, 16 * 1380}, Expect{1, 7, 46, 16 * 1380}, Expect{2, 17, 48, 43 * 256},
          Expect{3, 49, 48, 69 * 65}, Expect{4, 85, 58, 0}}) {
        SCOPED_TRACE(e.item);
        ASSERT_TRUE(recorder->SetCodec(e.item));
        size_t analysed = 0;
        recorder->On8BitPCMConveted = [&](TdeAudioConvertor&, std::span<const uint8_t> d) {
            analysed += d.size();
        };
        recorder->Start();
        input->Deliver(tone);
        recorder->Stop();
        const QByteArray file = File();
        ASSERT_GT(file.size(), e.header);
        EXPECT_EQ(file.left(4), "RIFF");
        EXPECT_EQ(At(file, 4), uint32_t(file.size() - 8));
        EXPECT_EQ(uint8_t(file[20]) | uint8_t(file[21]) << 8, e.tag);
        EXPECT_EQ(file.mid(e.header - 8, 4), "data");
        EXPECT_EQ(At(file, e.header - 4), uint32_t(file.size() - e.header));
        // G.711 keeps every sample; IMA ADPCM and GSM only whole blocks (505 and 320 samples).
        if (e.data) {
            EXPECT_EQ(At(file, e.header - 4), e.data);
        }
        // The analysis converter saw the same audio at 8000 Hz.
        EXPECT_NEAR(double(analysed), 22080.0 * 8000 / 11025, 8.0);
        ExpectTone(DecodeOwn(recorder->FileName), 440, 90.0 / 127 * 32767 / std::sqrt(2.0),
                   CodecTable::ItemName(e.item));
    }
    EXPECT_FALSE(recorder->SetCodec(5));
    EXPECT_EQ(recorder->WavFormat, *CodecTable::Format(4));  // unchanged by a bad item
}

TEST_F(AudioRecorderTest, AFailedStartReleasesEverythingAndTheNextStartWorks) {
    input->failOpen = true;
    try {
        recorder->Start();
        FAIL() << "started without a device";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Error opening audio device for input.\nBad device ID.");
    }
    EXPECT_FALSE(recorder->Running());
    EXPECT_EQ(QFileInfo(recorder->FileName).size(), 0);
    input->failOpen = false;
    recorder->Start();
    input->Deliver(CaptureTone(440, 0.5));
    recorder->Stop();
    EXPECT_GT(File().size(), 46);

    // A folder that is not there: the file cannot be made, the device is never opened.
    const int opens = input->opens;
    recorder->FileName = dir.path() + "/missing/0_recording.wav";
    try {
        recorder->Start();
        FAIL() << "started without a file";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("Can not create the recording file ")) << e.what();
    }
    EXPECT_EQ(input->opens, opens);
    EXPECT_FALSE(recorder->Running());

    // A capture format the inputs cannot deliver.
    recorder->FileName = dir.path() + "/0_recording.wav";
    recorder->AudioInFormat = TdeWaveFormat::Pcm(1, 11025, 16);
    EXPECT_THROW(recorder->Start(), std::runtime_error);
    EXPECT_FALSE(recorder->Running());
}

TEST_F(AudioRecorderTest, AWriteFailureStopsTheCaptureAndLeavesAValidFile) {
    recorder->Start();
    const auto tone = CaptureTone(440, 2.0);
    {
        FileSizeLimit limit(46 + 3 * 1380 + 500);  // room for three blocks and a bit
        input->Deliver(tone);
        // Nothing is reported from inside the device's callback.
        EXPECT_TRUE(failures.isEmpty());
    }
    QCoreApplication::processEvents();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].startsWith("Error writing the recording file: "))
        << failures[0].toStdString();
    EXPECT_FALSE(recorder->Running());
    EXPECT_FALSE(input->open);
    const QByteArray file = File();
    ASSERT_EQ(file.size(), 46 + 3 * 1380);  // cut back to the last whole block
    EXPECT_EQ(At(file, 4), uint32_t(file.size() - 8));
    EXPECT_EQ(At(file, 42), 3u * 1380);
    int status = 0;
    const auto decoded =
        DecodeWithFfmpeg(Path(recorder->FileName), status, Path(dir.path() + "/err"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(decoded.size(), 3u * 1380);
}

TEST_F(AudioRecorderTest, ALostInputEndsTheRecordingButNeverALaterOne) {
    recorder->Start();
    input->Deliver(CaptureTone(440, 0.5));
    input->Lose(
        "Error opening audio device for input.\nThe system is unable to allocate resources.");
    QCoreApplication::processEvents();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_FALSE(recorder->Running());
    EXPECT_EQ(At(File(), 42), uint32_t(File().size() - 46));

    // A failure reported late, after the call it belonged to was stopped and a new one
    // started, leaves the new recording alone.
    recorder->Start();
    input->Lose("late");
    recorder->Stop();
    recorder->Start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder->Running());
    EXPECT_EQ(failures.size(), 1);
    recorder->Stop();
}

TEST(AudioInputs, TheToneNeverRunsAheadOfRealTime) {
    TToneAudioInput tone(1000.0);
    std::vector<uint8_t> got;
    int wrongSize = 0;
    tone.OnData = [&](const QByteArray& b) {
        wrongSize += b.size() != 2760;
        got.insert(got.end(), b.begin(), b.end());
    };
    QElapsedTimer clock;
    clock.start();
    tone.Open(2760, 4);
    while (got.size() < 4 * 2760 && clock.elapsed() < 10000) {
        QTest::qWait(20);
        EXPECT_LE(double(got.size()), clock.elapsed() / 1000.0 * 22050 + 1);
    }
    tone.Close();
    const size_t after = got.size();
    QTest::qWait(100);
    EXPECT_EQ(got.size(), after);  // nothing after Close
    EXPECT_EQ(wrongSize, 0);
    ASSERT_GE(got.size(), 4u * 2760);
    std::vector<int16_t> left;
    for (size_t i = 0; i < got.size(); i += 2) left.push_back(int16_t((got[i] - 128) * 256));
    EXPECT_NEAR(DominantFrequency(left), 1000.0, 5.0);
    EXPECT_THROW(tone.Open(1, 4), std::runtime_error);
}

TEST(AudioInputs, AWavFileIsConvertedToTheCaptureFormatAndPlayedInALoop) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/voice.wav";
    {
        // 0.1 s of a 16-bit mono file at 22050 Hz, as other programs write them.
        TdeFileSink sink(Path(file));
        TdeRIFFAudioWriter writer(sink, TdeWaveFormat::Pcm(1, 22050, 16));
        const auto samples = Tone(700, 0.1, 12000, 22050);
        writer.Write(ToBytes(samples));
        writer.Close();
    }
    TWavFileAudioInput wav(file);
    std::vector<uint8_t> got;
    wav.OnData = [&](const QByteArray& b) { got.insert(got.end(), b.begin(), b.end()); };
    wav.Open(2760, 4);
    const auto& frames = wav.Frames();
    EXPECT_NEAR(double(frames.size()), 0.1 * 11025 * 2, 4.0);
    QElapsedTimer clock;
    clock.start();
    while (got.size() < 3 * frames.size() && clock.elapsed() < 10000) QTest::qWait(20);
    wav.Close();
    ASSERT_GE(got.size(), 3 * frames.size());
    for (size_t i = 0; i < 3 * frames.size(); ++i)
        ASSERT_EQ(got[i], frames[i % frames.size()]) << "byte " << i;
    std::vector<int16_t> left;
    for (size_t i = 0; i < frames.size(); i += 2) left.push_back(int16_t((frames[i] - 128) * 256));
    EXPECT_NEAR(DominantFrequency(left), 700.0, 14.0);

    // Our own recordings play too (GSM here).
    TCAudioRecorder rec(std::make_unique<TWavFileAudioInput>(file));
    rec.FileName = dir.path() + "/0_recording.wav";
    rec.SetCodec(3);
    rec.Start();
    clock.restart();
    while (rec.DataLength() < 10 * 65 && clock.elapsed() < 10000) QTest::qWait(20);
    rec.Stop();
    TWavFileAudioInput again(rec.FileName);
    EXPECT_NO_THROW(again.Open(2760, 4));
    again.Close();
    EXPECT_GT(again.Frames().size(), 10u * 320 * 2 - 2);
}

TEST(AudioInputs, ABadWavFileRefusesTheStartWithItsReason) {
    QTemporaryDir dir;
    auto message = [](const QString& path) -> std::string {
        TWavFileAudioInput wav(path);
        try {
            wav.Open(2760, 4);
        } catch (const std::exception& e) {
            EXPECT_FALSE(wav.IsOpen());
            return e.what();
        }
        return "opened";
    };
    EXPECT_EQ(message(dir.path() + "/none.wav"),
              "Error opening audio device for input.\nCan not read the file " +
                  (dir.path() + "/none.wav").toStdString());
    WriteAll(Path(dir.path() + "/text.wav"), std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(message(dir.path() + "/text.wav"),
              "Error opening audio device for input.\nThe file is not a WAV file.");
    WriteAll(Path(dir.path() + "/empty.wav"),
             TdeRIFFAudioWriter::Header(TdeWaveFormat::Pcm(1, 8000, 8), 36, 0));
    EXPECT_EQ(message(dir.path() + "/empty.wav"),
              "Error opening audio device for input.\nThe WAV file holds no audio: " +
                  (dir.path() + "/empty.wav").toStdString());
}

TEST(AudioInputs, TheSwitchAndTheVariableChooseTheInput) {
    QString error;
    auto kind = [](const std::optional<TAudioInputChoice>& c) {
        return c ? int(c->InputKind) : -1;
    };
    EXPECT_EQ(kind(TAudioInputChoice::Parse("device", &error)),
              int(TAudioInputChoice::Kind::Device));
    EXPECT_EQ(kind(TAudioInputChoice::Parse("tone", &error)), int(TAudioInputChoice::Kind::Tone));
    auto tone = TAudioInputChoice::Parse("tone:1000", &error);
    ASSERT_TRUE(tone);
    EXPECT_EQ(tone->Frequency, 1000.0);
    auto wav = TAudioInputChoice::Parse("wav:some dir/voice.wav", &error);
    ASSERT_TRUE(wav);
    EXPECT_TRUE(QFileInfo(wav->Path).isAbsolute());
    EXPECT_TRUE(wav->Path.endsWith("/some dir/voice.wav"));
    EXPECT_TRUE(error.isEmpty());
    for (const char* bad : {"mic", "tone:0", "tone:abc", "tone:6000", "wav:", ""}) {
        error.clear();
        EXPECT_FALSE(TAudioInputChoice::Parse(bad, &error)) << bad;
        EXPECT_TRUE(error.startsWith("Unknown audio input")) << bad;
    }

    qputenv(TAudioInputChoice::kVariable, "tone:300");
    error.clear();
    EXPECT_EQ(TAudioInputChoice::FromArguments({"STARTUP"}, &error).Frequency, 300.0);
    // The switch wins; the last one given counts.
    auto c = TAudioInputChoice::FromArguments({"--audio-input=tone:200", "--audio-input=device"},
                                              &error);
    EXPECT_EQ(c.InputKind, TAudioInputChoice::Kind::Device);
    qputenv(TAudioInputChoice::kVariable, "speaker");
    c = TAudioInputChoice::FromArguments({}, &error);
    EXPECT_EQ(c.InputKind, TAudioInputChoice::Kind::Device);
    EXPECT_FALSE(error.isEmpty());
    qunsetenv(TAudioInputChoice::kVariable);
    error.clear();
    EXPECT_EQ(TAudioInputChoice::FromArguments({}, &error).InputKind,
              TAudioInputChoice::Kind::Device);
    EXPECT_TRUE(error.isEmpty());
}

TEST(AudioInputs, ADeviceFormatIsConvertedToTheCaptureFormat) {
    // 0.2 s of a 440 Hz tone, 16-bit stereo at 48000 Hz, the right channel silent.
    QAudioFormat f;
    f.setSampleRate(48000);
    f.setChannelCount(2);
    f.setSampleFormat(QAudioFormat::Int16);
    const auto tone = Tone(440, 0.2, 16000, 48000);
    QByteArray data;
    for (int16_t s : tone) {
        data.append(reinterpret_cast<const char*>(&s), 2);
        data.append(2, '\0');
    }
    double phase = 0;
    // In two pieces, as the device delivers them.
    QByteArray out = TQtAudioInput::ToCaptureFormat(data.left(4 * 3001), f, phase);
    out += TQtAudioInput::ToCaptureFormat(data.mid(4 * 3001), f, phase);
    EXPECT_NEAR(double(out.size()), 0.2 * 11025 * 2, 4.0);
    std::vector<int16_t> left;
    int right = 0;
    for (qsizetype i = 0; i + 1 < out.size(); i += 2) {
        left.push_back(int16_t((uint8_t(out[i]) - 128) * 256));
        right = std::max(right, std::abs(uint8_t(out[i + 1]) - 128));
    }
    EXPECT_NEAR(DominantFrequency(left), 440.0, 9.0);
    EXPECT_NEAR(Rms(left), 16000 / std::sqrt(2.0), 16000 * 0.05);
    EXPECT_LE(right, 0);
}

namespace {

// A simulated call recorded by the real capture component from a test-driven input.
class RecordingPathTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        filtered = std::make_unique<TFilteredNumbers>(&db->dbPelmorant);
        filtered->Open();
        channels.InitChannels(2);
        channels[0].Operation = true;
        auto owned = std::make_unique<ManualAudioInput>();
        input = owned.get();
        mic = std::make_unique<TCAudioRecorder>(std::move(owned));
        completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db,
                                                       filtered.get(), nullptr, nullptr);
        recorder =
            std::make_unique<TdmRecorder>(channels, settings, *mic, nullptr, *completion, nullptr);
    }
    int Filed() {
        db->tblCalls.SetFiltered(false);
        return db->tblCalls.RecordCount();
    }

    TChannelTable channels;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TFilteredNumbers> filtered;
    ManualAudioInput* input = nullptr;
    std::unique_ptr<TCAudioRecorder> mic;
    std::unique_ptr<TCallCompletion> completion;
    std::unique_ptr<TdmRecorder> recorder;
};

}  // namespace

TEST_F(RecordingPathTest, ACallIsRecordedAndFiled) {
    settings.cbxCompression = 2;  // IMA ADPCM
    recorder->RecordClick();
    ASSERT_TRUE(mic->Running());
    EXPECT_EQ(mic->FileName, settings.edtFolder + "0_recording.wav");
    input->Deliver(CaptureTone(440, 1.0));
    clock.now = clock.now.addSecs(20);
    recorder->RecordClick();
    EXPECT_FALSE(mic->Running());
    ASSERT_EQ(Filed(), 1);
    db->tblCalls.First();
    const QString name = QString::fromStdString(db->tblCalls.FieldByName("fileName").AsString());
    EXPECT_EQ(name, "0_20261209_101112.wav");
    const auto info = TdeRIFFAudioReader::ReadFile(Path(settings.edtFolder + name));
    EXPECT_EQ(info.format, *CodecTable::Format(2));
    // Seven whole capture buffers (9660 samples) make 19 whole blocks of 505 samples.
    EXPECT_EQ(info.dataLength, 19u * 256);
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "0_recording.wav"));
}

TEST_F(RecordingPathTest, ADiskFullDuringACallStopsTheCaptureAndTheCallIsStillFiled) {
    recorder->RecordClick();
    ASSERT_TRUE(mic->Running());
    clock.now = clock.now.addSecs(30);
    {
        FileSizeLimit limit(46 + 5 * 1380 + 100);
        input->Deliver(CaptureTone(440, 2.0));
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(mic->Running());
    EXPECT_FALSE(recorder->CallActive());
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_TRUE(messages.shown.last().startsWith("Error writing the recording file: "));
    bool logged = false;
    for (const QString& l : log.Lines())
        logged = logged || l.contains("Recording stopped: Error writing");
    EXPECT_TRUE(logged);
    ASSERT_EQ(Filed(), 1);
    db->tblCalls.First();
    const QString name = QString::fromStdString(db->tblCalls.FieldByName("fileName").AsString());
    const auto info = TdeRIFFAudioReader::ReadFile(Path(settings.edtFolder + name));
    EXPECT_EQ(info.dataLength, 5u * 1380);
    EXPECT_EQ(QFileInfo(settings.edtFolder + name).size(), 46 + 5 * 1380);
    // The next call records normally.
    recorder->RecordClick();
    EXPECT_TRUE(mic->Running());
    input->Deliver(CaptureTone(440, 0.5));
    clock.now = clock.now.addSecs(30);
    recorder->RecordClick();
    EXPECT_EQ(Filed(), 2);
}
