// Tables that cannot be loaded at start: cut short, overwritten in the middle, emptied or
// replaced by text. The damaged file is kept, every call that can be is recovered (from the
// file, the copy in backupDB and the recordings), the user is told once, and new calls go into
// real folders.
#include <QDir>
#include <QFileInfo>

#include "CodecTable.h"
#include "DatabaseFixture.h"
#include "TCallCompletion.h"
#include "TCallRecovery.h"
#include "TChannelTable.h"
#include "TdeRIFFAudioWriter.h"
#include "TfmPelmorantDB.h"

namespace {

enum class Damage { CutShort, OverwrittenInTheMiddle, Emptied, ReplacedByText };

class DamagedTablesTest : public DatabaseFixture, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        channels.InitChannels(2);
    }
    void Open() {
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db, nullptr,
                                                       nullptr, nullptr);
    }
    // A kept call with a recording of a second of A-law.
    void FileCall(int minute) {
        const QString file = QString("0_20261208_10%1").arg(minute, 2, 10, QChar('0')) + "00.wav";
        const TdeWaveFormat alaw = *CodecTable::Format(0);
        std::vector<uint8_t> wav =
            TdeRIFFAudioWriter::Header(alaw, 28 + alaw.FmtChunkSize() - 8 + 8000, 8000);
        wav.resize(wav.size() + 8000, 0xD5);
        QFile f(settings.edtFolder + file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(wav.data()), qint64(wav.size()));
        f.close();
        Tchannel c = channels[0];
        c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 8), QTime(10, minute)));
        c.StopTime = c.StartTime + 1.0 / 86400.0;
        c.FileName = file;
        db->AddCall(c);
    }
    QString TablePath(const char* name) const { return globals.AppDataDir + "/" + name; }
    static QByteArray ReadAll(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void Damage(const QString& path, ::Damage how) {
        QByteArray bytes = ReadAll(path);
        switch (how) {
            case Damage::CutShort:
                bytes.truncate(bytes.size() * 2 / 3);
                break;
            case Damage::OverwrittenInTheMiddle:
                for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 40; ++i)
                    bytes[i] = '\xA5';
                break;
            case Damage::Emptied:
                bytes.clear();
                break;
            case Damage::ReplacedByText:
                bytes = "This is not a table.\nIt is a note someone saved over it.\n";
                break;
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    int Calls() {
        db->tblCalls.SetFiltered(false);
        return db->tblCalls.RecordCount();
    }

    TChannelTable channels;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TCallCompletion> completion;
};

}  // namespace

TEST_P(DamagedTablesTest, ADamagedCallsTableIsKeptAndEveryCallRecovered) {
    Open();
    for (int m = 0; m < 6; ++m) FileCall(m);
    db->BackupDatabaseFiles();  // a copy with six calls
    for (int m = 6; m < 10; ++m) FileCall(m);
    ASSERT_EQ(Calls(), 10);
    db.reset();
    Damage(TablePath("Calls.d"), GetParam());
    const QByteArray damaged = ReadAll(TablePath("Calls.d"));

    Open();
    ASSERT_EQ(db->Salvaged.size(), 1);
    const TTableSalvage::Result& r = db->Salvaged.first();
    EXPECT_EQ(r.FileName, "Calls.d");
    EXPECT_FALSE(r.Reason.isEmpty());
    EXPECT_TRUE(r.KeptAs.startsWith(TablePath("Calls.d") + ".damaged-"));
    EXPECT_EQ(ReadAll(r.KeptAs), damaged);  // kept exactly as it was
    EXPECT_GE(r.FromFile + r.FromCopy, 6);  // at least what the copy holds
    EXPECT_EQ(Calls(), r.FromFile + r.FromCopy);

    // The recordings give back the calls neither the file nor the copy still had.
    const TCallRecovery::Summary s =
        TCallRecovery(channels, settings, *completion, *db).RecoverAll();
    EXPECT_EQ(Calls(), 10);
    EXPECT_EQ(db->RecordedFileNames().size(), 10);
    const QStringList report = db->SalvageReport(s.Recovered);
    const QString text = report.join('\n');
    EXPECT_TRUE(text.contains("Calls.d"));
    EXPECT_TRUE(text.contains(r.KeptAs));
    EXPECT_TRUE(
        text.contains(QString::number(r.FromFile + r.FromCopy) + " records were recovered"));
    if (s.Recovered > 0) {
        EXPECT_TRUE(text.contains(QString::number(s.Recovered) + " calls were filed again"));
    }

    // The next start finds the new table whole: nothing more to salvage or say.
    db.reset();
    Open();
    EXPECT_TRUE(db->Salvaged.isEmpty());
    EXPECT_TRUE(db->SalvageReport(0).isEmpty());
    EXPECT_EQ(Calls(), 10);
}

TEST_P(DamagedTablesTest, ADamagedTreeGivesMainItsCallsBackAndNewCallsARealFolder) {
    Open();
    for (int m = 0; m < 3; ++m) FileCall(m);
    db.reset();
    Damage(TablePath("Tree.d"), GetParam());  // and no copy to fall back on

    Open();
    ASSERT_EQ(db->Salvaged.size(), 1);
    EXPECT_EQ(db->Salvaged.first().FileName, "Tree.d");
    ASSERT_FALSE(db->MainFolderId.isEmpty());
    EXPECT_EQ(db->Tree.NodeAt(0)->text(), "Main");
    // Every call is in a folder the tree has.
    QSet<QString> folders;
    for (int i = 0; i < db->Tree.Count(); ++i)
        folders.insert(TFolderTree::FolderId(db->Tree.NodeAt(i)));
    db->tblCalls.SetFiltered(false);
    for (db->tblCalls.First(); !db->tblCalls.Eof(); db->tblCalls.Next())
        EXPECT_TRUE(folders.contains(
            QString::fromStdString(db->tblCalls.FieldByName("FolderId").AsString())));
    FileCall(30);
    db->tblCalls.Last();
    EXPECT_TRUE(
        folders.contains(QString::fromStdString(db->tblCalls.FieldByName("FolderId").AsString())));
}

TEST_P(DamagedTablesTest, ADamagedChannelsTableComesBackFromItsCopy) {
    Open();
    db->BackupDatabaseFiles();
    const int channelsBefore = db->tblChannels.RecordCount();
    db.reset();
    Damage(TablePath("Channels.d"), GetParam());
    Open();
    ASSERT_EQ(db->Salvaged.size(), 1);
    EXPECT_TRUE(db->tblChannels.Active());
    EXPECT_EQ(db->tblChannels.RecordCount(), channelsBefore);
    EXPECT_EQ(db->Salvaged.first().FromFile + db->Salvaged.first().FromCopy, channelsBefore);
}

std::string DamageName(const ::testing::TestParamInfo<Damage>& info) {
    static const char* const kNames[] = {"CutShort", "OverwrittenInTheMiddle", "Emptied",
                                         "ReplacedByText"};
    return kNames[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryDamage, DamagedTablesTest,
                         ::testing::Values(Damage::CutShort, Damage::OverwrittenInTheMiddle,
                                           Damage::Emptied, Damage::ReplacedByText),
                         DamageName);
