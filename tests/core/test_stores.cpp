// The settings stores and the data folder rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SystemFormat.h"
#include "TIniFile.h"
#include "TPelmGlobals.h"

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}

struct IsoFormat {
    IsoFormat() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
};

}  // namespace

TEST(IniFile, CaseInsensitiveNamesKeepOrderAndSaveAtOnce) {
    IsoFormat iso;
    QTemporaryDir dir;
    QString path = dir.path() + "/Pelmorant.ini";
    TIniFile ini(path);
    ini.WriteString("Backup", "RecycleHdd", "1");
    ini.WriteInteger("backup", "backupCapacity", 100);  // same section, other spelling
    ini.WriteString("General", "Zeta", "z");
    ini.WriteString("General", "alpha", "a");
    ini.WriteString("GENERAL", "ZETA", "zz");  // replaces, keeps its place
    EXPECT_EQ(ReadFile(path),
              "[Backup]\r\nRecycleHdd=1\r\nbackupCapacity=100\r\n\r\n"
              "[General]\r\nZeta=zz\r\nalpha=a\r\n\r\n");
    TIniFile again(path);
    EXPECT_EQ(again.ReadSection("general"), QStringList({"Zeta", "alpha"}));
    EXPECT_EQ(again.ReadInteger("BACKUP", "BACKUPCAPACITY", 0), 100);
    EXPECT_TRUE(again.ValueExists("backup", "recyclehdd"));
    EXPECT_FALSE(again.ValueExists("backup", "nothing"));
}

TEST(IniFile, ValuesAndDefaults) {
    IsoFormat iso;
    QTemporaryDir dir;
    QString path = dir.path() + "/a.ini";
    WriteFile(path,
              "[General]\nflag=7\nzero=0\nbad=abc\nnum= 42 \nwhen=2026-12-09 13:14:15\n"
              "day=2026-12-09\nnot a line\n[Empty]\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.ReadBool("General", "flag", false));  // any non-zero integer is true
    EXPECT_FALSE(ini.ReadBool("General", "zero", true));
    EXPECT_TRUE(ini.ReadBool("General", "bad", true));  // unreadable: the default
    EXPECT_EQ(ini.ReadInteger("General", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("General", "num", 0), 42);
    EXPECT_EQ(ini.ReadString("General", "missing", "def"), "def");
    TDateTime expected = 0, t = 0;
    TVolgaFormatSettings::EncodeDate(2026, 12, 9, expected);
    TVolgaFormatSettings::EncodeTime(13, 14, 15, 0, t);
    EXPECT_NEAR(ini.ReadDateTime("General", "when", 0), expected + t, 1e-9);
    EXPECT_NEAR(ini.ReadDateTime("General", "day", 0), expected, 1e-9);
    EXPECT_EQ(ini.ReadDateTime("General", "bad", 3.0), 3.0);
    ini.WriteBool("General", "flag", false);
    ini.WriteDateTime("General", "when", expected + t);
    TIniFile re(path);
    EXPECT_EQ(re.ReadString("General", "flag", ""), "0");
    EXPECT_EQ(re.ReadString("General", "when", ""), "2026-12-09 13:14:15");
    EXPECT_TRUE(re.SectionExists("empty"));
    re.EraseSection("GENERAL");
    EXPECT_FALSE(TIniFile(path).SectionExists("General"));
}

TEST(IniFile, UnreadableFileIsSetAsideNotOverwritten) {
    QTemporaryDir dir;
    QString path = dir.path() + "/Pelmorant.ini";
    QByteArray garbage("\x00\xff\xfe binary \x00", 12);
    WriteFile(path, garbage);
    TIniFile ini;
    EXPECT_EQ(ini.Open(path), TIniFile::LoadResult::SetAside);
    EXPECT_NE(ini.SetAsidePath(), path);
    EXPECT_EQ(ReadFile(ini.SetAsidePath()), garbage);
    EXPECT_EQ(ini.ReadInteger("General", "Volume", 2), 2);
    ini.WriteInteger("General", "Volume", 5);
    EXPECT_EQ(TIniFile(path).ReadInteger("General", "Volume", 0), 5);
    EXPECT_EQ(ReadFile(ini.SetAsidePath()), garbage);
}

TEST(IniFile, AValueThatIsNotUtf8CostsOnlyItself) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/registry.ini";
    // One value written in a legacy code page: "Caf\xe9" is Latin-1, not UTF-8.
    WriteFile(path,
              "[Params]\r\nappDataDir=/srv/caf\xe9\r\nfolder=/srv/\xc3\xa9t\xc3\xa9\r\n"
              "[General]\r\nzilota=1\r\n");
    TIniFile ini;
    EXPECT_EQ(ini.Open(path), TIniFile::LoadResult::Loaded);
    EXPECT_EQ(ini.ReadString("Params", "appDataDir", ""), QString("/srv/caf") + QChar(0xe9));
    EXPECT_EQ(ini.ReadString("Params", "folder", ""), QString::fromUtf8("/srv/\xc3\xa9t\xc3\xa9"));
    EXPECT_TRUE(ini.ReadBool("General", "zilota", false));
    // Written back, the whole file is UTF-8 and reads the same.
    ASSERT_TRUE(ini.WriteInteger("General", "x", 1));
    TIniFile again(path);
    EXPECT_EQ(again.ReadString("Params", "appDataDir", ""), QString("/srv/caf") + QChar(0xe9));
    EXPECT_TRUE(again.ReadBool("General", "zilota", false));
}

TEST(IniFile, FailedWriteIsReported) {
    QTemporaryDir dir;
    TIniFile ini(dir.path() + "/missing-folder/x.ini");
    EXPECT_FALSE(ini.WriteString("a", "b", "c"));
    EXPECT_FALSE(ini.LastError().isEmpty());
    EXPECT_EQ(ini.ReadString("a", "b", ""), "c");  // kept in memory
}

TEST(Globals, AppDataDirDefaultStoredValueAndPortableRule) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    TPelmGlobals g;
    g.ProgramDir = home.path() + "/bin";
    QDir().mkpath(g.ProgramDir);
    g.OpenStores();
    EXPECT_EQ(g.AppDataDir, home.path() + "/data/Pelmorant");
    EXPECT_TRUE(QFileInfo(g.AppDataDir).isDir());
    EXPECT_EQ(QFile::permissions(g.AppDataDir) & 0x0077, 0);  // owner only
    TIniFile reg(TPelmGlobals::RegistryFileName());
    EXPECT_EQ(reg.ReadString("Params", "appDataDir", ""), g.AppDataDir);

    // A stored folder wins from the next start on.
    reg.WriteString("Params", "appDataDir", home.path() + "/elsewhere");
    QDir().mkpath(home.path() + "/elsewhere");
    TPelmGlobals g2;
    g2.ProgramDir = g.ProgramDir;
    g2.OpenStores();
    EXPECT_EQ(g2.AppDataDir, home.path() + "/elsewhere");
    EXPECT_EQ(g2.SettingsIni.FileName(), home.path() + "/elsewhere/Pelmorant.ini");

    // Portable use: "Pelmorant.ini" beside the executable and no stored value.
    QFile::remove(TPelmGlobals::RegistryFileName());
    WriteFile(g.ProgramDir + "/Pelmorant.ini", "");
    TPelmGlobals g3;
    g3.ProgramDir = g.ProgramDir;
    g3.OpenStores();
    EXPECT_EQ(g3.AppDataDir, g.ProgramDir);

    g3.SetSoftErrorText(QString(300, QChar(0x00E9)));  // two bytes each
    EXPECT_LE(g3.SoftErrorText().toUtf8().size(), 199);
    EXPECT_EQ(g3.SoftErrorText().size(), 99);
}
