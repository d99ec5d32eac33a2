// A home of its own for a test: XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR point into a
// new temporary folder for the lifetime of the object, so nothing reaches the real home.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TIniFile.h"
#include "TPelmGlobals.h"

class TFreshUserDirs {
public:
    TFreshUserDirs() {
        root_.setAutoRemove(true);
        for (const char* sub : {"config", "data", "runtime"}) QDir(root_.path()).mkpath(sub);
        QFile::setPermissions(root_.path() + "/runtime",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.path() + "/data"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root_.path() + "/runtime"));
    }
    QString Root() const { return root_.path(); }
    QString DataDir() const { return root_.path() + "/data/Pelmorant"; }
    QString IniPath() const { return DataDir() + "/Pelmorant.ini"; }
    QString LogPath() const { return DataDir() + "/Pelmorant.log"; }

    // Settings as a previous run would have left them.
    void Seed(const QString& section, const QString& key, const QString& value) const {
        TPelmGlobals::MakePrivateDir(DataDir());
        TIniFile ini(IniPath());
        ini.WriteString(section, key, value);
    }
    TIniFile Ini() const { return TIniFile(IniPath()); }

private:
    QTemporaryDir root_;
};
