// The autostart entry on disk: its folder is made for the owner whatever the umask, and a full
// disk leaves the entry that was there and reports the failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileModes.h"
#include "TFullDisk.h"
#include "TStartupRegistration.h"

namespace {

class ConfigHome {
public:
    explicit ConfigHome(const QString& path) : old_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path));
    }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", old_); }

private:
    QByteArray old_;
};

}  // namespace

TEST(AutostartFiles, FolderIsTheOwnersWhateverTheUmask) {
    QTemporaryDir home;
    ConfigHome config(home.path() + "/config");
    const mode_t oldMask = ::umask(0);
    TStartupRegistration real;
    QString error;
    const bool registered = real.Register(&error);
    ::umask(oldMask);
    ASSERT_TRUE(registered) << qPrintable(error);
    EXPECT_EQ(ModeOf(home.path() + "/config"), 0700u);
    EXPECT_EQ(ModeOf(home.path() + "/config/autostart"), 0700u);
    EXPECT_EQ(ModeOf(TStartupRegistration::EntryFileName()), 0600u);
}

TEST(AutostartFiles, FullDiskKeepsTheOldEntryAndReportsTheFailure) {
    TFullDisk disk;
    ConfigHome config(disk.Path());
    ASSERT_TRUE(QDir().mkpath(disk.Path() + "/autostart"));
    const QString entry = TStartupRegistration::EntryFileName();
    QFile old(entry);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[Desktop Entry]\n");
    old.close();
    ASSERT_TRUE(disk.Fill());
    TStartupRegistration real;
    QString error;
    EXPECT_FALSE(real.Register(&error));
    EXPECT_FALSE(error.isEmpty());
    QFile after(entry);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), "[Desktop Entry]\n");
    EXPECT_EQ(QDir(disk.Path() + "/autostart").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Pelmorant.desktop"});
}
