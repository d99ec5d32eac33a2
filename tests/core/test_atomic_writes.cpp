// Whole-file writes: on a full disk the old INI file and log stay as they were and the failure
// is reported; replaced files keep their permission bits; folders get their modes whatever
// the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "FileModes.h"
#include "SystemFormat.h"
#include "TAtomicFile.h"
#include "TEventLog.h"
#include "TFullDisk.h"
#include "TIniFile.h"
#include "TPelmGlobals.h"
#include "TTestClock.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    return f.readAll();
}

// Nothing but the named files is left in the folder (no temporary files).
QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskScope() { ::umask(old_); }

private:
    mode_t old_;
};

class AtomicWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TClock::Install(&clock);
    }
    void TearDown() override { TClock::Install(nullptr); }
    TTestClock clock;
};

}  // namespace

TEST_F(AtomicWriteTest, FullDiskLeavesTheIniFileAndTheLogAsTheyWere) {
    TFullDisk disk;
    const QString iniPath = disk.Path() + "/Pelmorant.ini";
    const QString logPath = disk.Path() + "/Pelmorant.log";
    TIniFile ini(iniPath);
    ASSERT_TRUE(ini.WriteString("General", "Folder", "/home/office/calls/"));
    ASSERT_TRUE(ini.WriteInteger("General", "Volume", 7));
    TEventLog log;
    log.Load(logPath);
    log.LogGeneral("Program started");
    log.LogChannel(1, "Demo start recording");
    ASSERT_TRUE(log.Save());
    const QByteArray iniBefore = ReadAll(iniPath);
    const QByteArray logBefore = ReadAll(logPath);
    ASSERT_FALSE(iniBefore.isEmpty());
    ASSERT_FALSE(logBefore.isEmpty());

    ASSERT_TRUE(disk.Fill());
    const QStringList entriesBefore = Entries(disk.Path());
    // A value long enough that the file must grow.
    EXPECT_FALSE(ini.WriteString("General", "Memo", QString(8000, 'm')));
    EXPECT_FALSE(ini.LastError().isEmpty());
    if (disk.RealFileSystem()) {
        EXPECT_EQ(ini.LastError(), "No space left on device");
    }
    // The value stays in memory, the file on disk is the old one, and nothing is left behind.
    EXPECT_EQ(ini.ReadString("General", "Memo", ""), QString(8000, 'm'));
    EXPECT_EQ(ReadAll(iniPath), iniBefore);

    for (int i = 0; i < 200; ++i) log.LogGeneral(QString("line %1").arg(i));
    QString error;
    EXPECT_FALSE(log.Save(&error));
    EXPECT_FALSE(error.isEmpty());
    // The old lines are whole; the lines appended as they came are whole lines, in order, as
    // many as found room (none on a disk with no room left in the file's last block).
    const QByteArray logNow = ReadAll(logPath);
    ASSERT_TRUE(logNow.startsWith(logBefore));
    const QList<QByteArray> appended = logNow.mid(logBefore.size()).split('\n');
    ASSERT_TRUE(appended.last().isEmpty());
    for (qsizetype i = 0; i + 1 < appended.size(); ++i)
        EXPECT_TRUE(appended[i].endsWith("  (line " + QByteArray::number(i) + ")\r"))
            << appended[i].toStdString();
    EXPECT_EQ(log.LineCount(), 202);  // kept for the next save
    EXPECT_EQ(Entries(disk.Path()), entriesBefore);

    // The file read back after the failed writes is the old one, whole.
    TIniFile again(iniPath);
    EXPECT_EQ(again.ReadString("General", "Folder", ""), "/home/office/calls/");
    EXPECT_EQ(again.ReadInteger("General", "Volume", 0), 7);
}

TEST_F(AtomicWriteTest, ReplacedFilesKeepTheirModeNewFilesAreTheOwners) {
    UmaskScope umask(0);
    QTemporaryDir dir;
    const QString path = dir.path() + "/Pelmorant.ini";
    TIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("General", "a", "1"));
    EXPECT_EQ(ModeOf(path), 0600u);
    ASSERT_TRUE(QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(ini.WriteString("General", "a", "2"));
    EXPECT_EQ(ModeOf(path), 0640u);

    const QString logPath = dir.path() + "/Pelmorant.log";
    TEventLog log;
    log.Load(logPath);
    log.LogGeneral("one");
    ASSERT_TRUE(log.Save());
    EXPECT_EQ(ModeOf(logPath), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(logPath).constData(), 0644), 0);
    log.LogGeneral("two");
    ASSERT_TRUE(log.Save());
    EXPECT_EQ(ModeOf(logPath), 0644u);
    EXPECT_EQ(Entries(dir.path()), QStringList({"Pelmorant.ini", "Pelmorant.log"}));
}

TEST_F(AtomicWriteTest, WriteIntoAMissingFolderFailsWithTheReason) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(TAtomicFile::Write(dir.path() + "/gone/file.txt", "data", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_TRUE(TAtomicFile::Write(dir.path() + "/file.txt", "data", &error));
    EXPECT_EQ(ReadAll(dir.path() + "/file.txt"), "data");
}

TEST_F(AtomicWriteTest, FoldersGetTheirModeWhateverTheUmask) {
    UmaskScope umask(0);
    QTemporaryDir dir;
    // Every folder made on the way is the owner's only.
    const QString deep = dir.path() + "/data/Pelmorant/wav";
    ASSERT_TRUE(TPelmGlobals::MakePrivateDir(deep));
    for (const QString& p : {dir.path() + "/data", dir.path() + "/data/Pelmorant", deep})
        EXPECT_EQ(ModeOf(p), 0700u) << qPrintable(p);

    // Missing folders are made private; existing ones keep their mode.
    const QString shared = dir.path() + "/config";
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0755), 0);
    ASSERT_TRUE(TPelmGlobals::MakeMissingDirs(shared + "/autostart"));
    EXPECT_EQ(ModeOf(shared), 0755u);
    EXPECT_EQ(ModeOf(shared + "/autostart"), 0700u);

    // A file where a folder should be is an error, not a silent success.
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(TPelmGlobals::MakePrivateDir(dir.path() + "/file/sub"));
}
