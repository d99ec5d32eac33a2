// Calls found at start without their record: a channel's recording cut off by an interruption,
// and recordings that no Calls record names. Each is mended, named and filed, or removed when it
// holds no audio; nothing is ever overwritten.
#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <stdexcept>

#include "CodecTable.h"
#include "DatabaseFixture.h"
#include "RecordingTexts.h"
#include "TCallCompletion.h"
#include "TCallRecovery.h"
#include "TChannelTable.h"
#include "TFolderTree.h"
#include "TFullDisk.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioReader.h"
#include "TdeRIFFAudioWriter.h"
#include "TfmPelmorantDB.h"

namespace {

// Takes a call's details and throws, as a calls table that cannot be written does.
class FailingFiling : public ICallFiling {
public:
    void AddCall(const Tchannel&) override { throw std::runtime_error("No space left on device"); }
    void AddRecoveredCall(const Tchannel&, const QString&) override {
        throw std::runtime_error("No space left on device");
    }
    QSet<QString> RecordedFileNames() const override { return {}; }
};

class RecoveryTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        channels.InitChannels(2);
        channels[0].Operation = channels[1].Operation = true;
        completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db, nullptr,
                                                       nullptr, nullptr);
    }
    QString Path(const QString& name) const { return settings.edtFolder + name; }

    // A recording of `seconds` of audio in the codec `item` as a killed program leaves it: the
    // lengths as the last checkpoint wrote them, a block cut in half at the end, and the file
    // last written at `lastWrite`.
    void CutOffRecording(const QString& name, int item, double seconds,
                         const QDateTime& lastWrite) {
        const std::string scratch = QFile::encodeName(Path("scratch.tmp")).toStdString();
        const TdeWaveFormat format = *CodecTable::Format(item);
        {
            TdeFileSink sink(scratch);
            TdeRIFFAudioWriter writer(sink, format);
            const std::vector<uint8_t> block(format.BlockAlign(), 0x5A);
            const uint64_t total = uint64_t(seconds * format.AvgBytesPerSec());
            for (uint64_t done = 0; done + block.size() <= total; done += block.size())
                writer.Write(block);
            std::filesystem::copy_file(scratch, QFile::encodeName(Path(name)).toStdString());
        }  // (the scratch copy is closed properly; the recording is not)
        std::filesystem::remove(scratch);
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(format.BlockAlign() > 1 ? format.BlockAlign() / 2 : 0, 0x11));
        f.close();
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_TRUE(f.setFileTime(lastWrite, QFileDevice::FileModificationTime));
    }
    // The Calls record of a recording, or false.
    bool Record(const QString& fileName) {
        return db->tblCalls.Locate("fileName", TVolgaValue(fileName.toStdString()));
    }
    QString Field(const char* name) {
        return QString::fromStdString(db->tblCalls.FieldByName(name).AsString());
    }
    QTime TimeField(const char* name) {
        return FromDateTime(db->tblCalls.FieldByName(name).AsDateTime()).time();
    }
    QStringList Recordings() const {
        return QDir(settings.edtFolder).entryList(QDir::Files, QDir::Name);
    }

    TChannelTable channels;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TCallCompletion> completion;
};

const QDateTime kCutOff(QDate(2026, 11, 30), QTime(10, 0, 12));  // not the clock's today

}  // namespace

TEST_F(RecoveryTest, ACutOffRecordingIsMendedNamedByItsTimeAndFiledInEveryCodec) {
    for (int item = 0; item <= 4; ++item) {
        SCOPED_TRACE(item);
        const QString ext = item == 4 ? ".mp3" : ".wav";
        CutOffRecording("1_recording.wav", item, 12, kCutOff);
        const TCallRecovery::Summary s =
            TCallRecovery(channels, settings, *completion, *db).RecoverAll();
        EXPECT_EQ(s.Recovered, 1);
        EXPECT_TRUE(s.Problems.isEmpty()) << s.Problems.join('\n').toStdString();
        EXPECT_FALSE(QFileInfo::exists(Path("1_recording.wav")));

        // 12 seconds before the last write, give or take the last block.
        const QStringList names = Recordings();
        ASSERT_EQ(names.size(), 1);
        const QString name = names.first();
        EXPECT_TRUE(name == "1_20261130_100000" + ext || name == "1_20261130_095959" + ext)
            << name.toStdString();
        const TdeRIFFAudioInfo info =
            TdeRIFFAudioReader::ReadFile(QFile::encodeName(Path(name)).toStdString());
        const TdeWaveFormat format = *CodecTable::Format(item);
        EXPECT_EQ(info.format, format);
        EXPECT_EQ(info.dataLength % std::max<uint16_t>(1, format.BlockAlign()), 0u);
        EXPECT_NEAR(double(info.dataLength) / format.AvgBytesPerSec(), 12.0, 0.1);
        EXPECT_EQ(QFileInfo(Path(name)).size(), qint64(info.dataOffset + info.dataLength));
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(8);
        const uint32_t riff = uint8_t(head[4]) | uint8_t(head[5]) << 8 | uint8_t(head[6]) << 16 |
                              uint32_t(uint8_t(head[7])) << 24;
        EXPECT_EQ(riff, f.size() - 8);

        // Filed under the call's own date, with the memo that says what happened.
        ASSERT_TRUE(Record(name));
        EXPECT_EQ(Field("Memo"), RecordingTexts::kRecoveredMemo);
        EXPECT_EQ(db->tblCalls.FieldByName("Channel").AsInteger(), 1);
        EXPECT_EQ(FromDateTime(db->tblCalls.FieldByName("Date").AsDateTime()).date(),
                  kCutOff.date());
        EXPECT_EQ(TimeField("stopTime"), kCutOff.time());
        EXPECT_GE(db->tblCalls.FieldByName("fileSize").AsInteger(), 1);
        EXPECT_TRUE(log.Lines().join('\n').contains(RecordingTexts::kRecoveredCall + Path(name)));
        QFile::remove(Path(name));
    }
}

TEST_F(RecoveryTest, ANameAlreadyTakenIsNeverOverwritten) {
    // A kept call of the same second, filed as usual.
    WriteRecording("0_20261130_100000.wav", 5000);
    Tchannel kept = channels[0];
    kept.StartTime = ToDateTime(QDateTime(kCutOff.date(), QTime(10, 0, 0)));
    kept.StopTime = kept.StartTime;
    kept.FileName = "0_20261130_100000.wav";
    db->AddCall(kept);
    CutOffRecording("0_recording.wav", 0, 12, kCutOff);

    TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(QFileInfo(Path("0_20261130_100000.wav")).size(), 5000);
    EXPECT_TRUE(QFileInfo::exists(Path("0_20261130_100001.wav")));
    EXPECT_TRUE(Record("0_20261130_100001.wav"));
    EXPECT_EQ(db->tblCalls.RecordCount(), 2);
}

TEST_F(RecoveryTest, FilesWithNoAudioAreRemovedAndOthersLeftAlone) {
    WriteRecording("0_recording.wav", 0);  // the capture never wrote a byte
    {
        // A header and half a block.
        const TdeWaveFormat ima = *CodecTable::Format(2);
        const std::vector<uint8_t> header = TdeRIFFAudioWriter::Header(ima, 0, 0);
        WriteRecording("1_recording.wav", 0);
        QFile f(Path("1_recording.wav"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(header.data()), qint64(header.size()));
        f.write(QByteArray(ima.BlockAlign() / 2, 0x11));
    }
    WriteRecording("1_20261130_090000.wav", 0);     // a call filed while the disk was full
    WriteRecording("1_20261130_090500.wav", 9000);  // not a WAV file: kept for the user
    WriteRecording("notes.wav", 9000);              // not one of ours
    const TCallRecovery::Summary s =
        TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(s.Removed, 3);
    EXPECT_EQ(s.Recovered, 0);
    ASSERT_EQ(s.Problems.size(), 1);
    EXPECT_TRUE(s.Problems.first().contains("1_20261130_090500.wav"));
    EXPECT_EQ(Recordings(), (QStringList{"1_20261130_090500.wav", "notes.wav"}));
    EXPECT_EQ(db->tblCalls.RecordCount(), 0);
}

TEST_F(RecoveryTest, TheRecordCallsModeAndTheDurationFiltersApply) {
    settings.cbxInboundFilter = true;
    settings.spnInboundTime = 30;  // calls of up to 30 s are not kept
    CutOffRecording("0_recording.wav", 0, 12, kCutOff);
    TCallRecovery::Summary s = TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(s.Rejected, 1);
    EXPECT_TRUE(Recordings().isEmpty());

    // Records only: the call is filed, its audio not kept.
    settings.cbxInboundFilter = false;
    settings.cbxRecordCalls = 3;
    CutOffRecording("0_recording.wav", 0, 12, kCutOff);
    s = TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(s.Recovered, 1);
    EXPECT_TRUE(Recordings().isEmpty());
    ASSERT_EQ(db->tblCalls.RecordCount(), 1);
    db->tblCalls.First();
    EXPECT_EQ(Field("Memo"), RecordingTexts::kRecoveredMemo);
}

TEST_F(RecoveryTest, RecordingsWithoutARecordAreFiledByTheirNameIntoTheDateFolder) {
    settings.cbxPostByDate = true;
    CutOffRecording("scratch.wav", 3, 8, kCutOff);
    ASSERT_TRUE(QFile::rename(Path("scratch.wav"), Path("1_20261128_235959.wav")));
    WriteRecording("0_20261129_080000.wav", 4000);
    Tchannel kept = channels[0];
    kept.StartTime = ToDateTime(QDateTime(QDate(2026, 11, 29), QTime(8, 0)));
    kept.StopTime = kept.StartTime;
    kept.FileName = "0_20261129_080000.wav";
    db->AddCall(kept);
    const int before = db->tblCalls.RecordCount();

    const TCallRecovery::Summary s =
        TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(s.Recovered, 1);
    EXPECT_EQ(db->tblCalls.RecordCount(), before + 1);
    ASSERT_TRUE(Record("1_20261128_235959.wav"));
    EXPECT_EQ(TimeField("startTime"), QTime(23, 59, 59));
    EXPECT_NEAR(TimeField("stopTime").msecsSinceStartOfDay(), 7000, 100);  // 8 s, past midnight
    EXPECT_EQ(Field("Memo"), RecordingTexts::kRecoveredMemo);
    // The folder of that date, which the tree shows.
    const QString folder = Field("FolderId");
    bool found = false;
    for (int i = 0; i < db->Tree.Count(); ++i) {
        QStandardItem* node = db->Tree.NodeAt(i);
        if (node->text() == TFolderTree::DateFolderText(QDate(2026, 11, 28)))
            found = TFolderTree::FolderId(node) == folder;
    }
    EXPECT_TRUE(found);

    // A second start finds nothing left to do.
    const TCallRecovery::Summary again =
        TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(again.Recovered, 0);
    EXPECT_EQ(db->tblCalls.RecordCount(), before + 1);
}

TEST_F(RecoveryTest, ACallThatCannotBeFiledNowKeepsItsRecordingForTheNextStart) {
    CutOffRecording("1_recording.wav", 0, 12, kCutOff);
    FailingFiling failing;
    const TCallRecovery::Summary s =
        TCallRecovery(channels, settings, *completion, failing).RecoverAll();
    EXPECT_EQ(s.Recovered, 0);
    ASSERT_FALSE(s.Problems.isEmpty());
    EXPECT_TRUE(s.Problems.first().contains("No space left on device"));
    const QStringList left = Recordings();
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.first().startsWith("1_20261130_"));

    // Room again: the next start files it under that name.
    TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_TRUE(Record(left.first()));
    EXPECT_EQ(Recordings(), left);
}

TEST(RecordingNames, OnlyTheChannelDateTimeFormIsOurs) {
    int channel = -1;
    TDateTime start = 0;
    EXPECT_TRUE(TCallRecovery::ParseRecordingName("12_20261130_235959.mp3", channel, start));
    EXPECT_EQ(channel, 12);
    EXPECT_EQ(FromDateTime(start), QDateTime(QDate(2026, 11, 30), QTime(23, 59, 59)));
    for (const char* other :
         {"notes.wav", "1_recording.wav", "1_20261130_2359.wav", "1_20261330_235959.wav",
          "a_20261130_235959.wav", "1_20261130_235959.WAV", "1_20261130_235959.wav.part",
          "1_20261130-235959.wav", "_20261130_235959.wav"})
        EXPECT_FALSE(TCallRecovery::ParseRecordingName(other, channel, start)) << other;
}

// The disk fills while a call is filed: the Calls table cannot be saved. The recording keeps
// its name and no empty recording is left; the next start with room files it.
TEST_F(RecoveryTest, ACallFiledOnAFullDiskIsFiledAtTheNextStartWithRoom) {
    TFullDisk disk;
    db.reset();
    globals.AppDataDir = disk.Path() + "/data";
    settings.edtFolder = disk.Path() + "/wav/";
    QDir().mkpath(globals.AppDataDir);
    QDir().mkpath(settings.edtFolder);
    db = std::make_unique<TfmPelmorantDB>(globals, settings);
    ASSERT_TRUE(db->OpenDatabase());
    completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db, nullptr,
                                                   nullptr, nullptr);
    const QByteArray tableBefore = [&] {
        QFile f(globals.AppDataDir + "/Calls.d");
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    // A call recorded whole, then one during which nothing could be written.
    CutOffRecording("0_recording.wav", 0, 2, kCutOff);
    Tchannel& c = channels[0];
    c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)));
    c.StopTime = c.StartTime + 2.0 / 86400.0;
    c.Idle = false;
    ASSERT_TRUE(disk.Fill());
    completion->CompleteCall(0);
    ASSERT_FALSE(messages.shown.isEmpty());  // the engine's error, shown to the user
    WriteRecording("1_recording.wav", 0);
    channels[1].StartTime = c.StartTime + 60.0 / 86400.0;
    channels[1].StopTime = channels[1].StartTime + 1.0 / 86400.0;
    channels[1].Idle = false;
    completion->CompleteCall(1);

    for (const QString& name : Recordings())
        EXPECT_GT(QFileInfo(Path(name)).size(), 0) << name.toStdString();
    EXPECT_EQ(Recordings(), QStringList{"0_20261209_090000.wav"});
    QFile table(globals.AppDataDir + "/Calls.d");
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll(), tableBefore);  // intact

    // The next start, with room again.
    disk.Free();
    db.reset();
    db = std::make_unique<TfmPelmorantDB>(globals, settings);
    ASSERT_TRUE(db->OpenDatabase());
    completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db, nullptr,
                                                   nullptr, nullptr);
    const TCallRecovery::Summary s =
        TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(s.Recovered, 1);
    EXPECT_TRUE(Record("0_20261209_090000.wav"));
    db.reset();  // before the file system goes
}
