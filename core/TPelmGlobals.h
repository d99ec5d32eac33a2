// Process-wide state: the program and data folders, the three settings stores, the used space
// of the recordings, the last software error and the start-up abort flag.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "TIniFile.h"

class TPelmGlobals {
public:
    QString ProgramDir;  // the executable's folder (the current directory); empty on failure
    QString AppDataDir;  // no trailing "/"
    TIniFile SettingsRegistry;
    TIniFile SettingsIni;
    std::unique_ptr<TIniFile> TreeIni;  // only when "Tree.ini" exists at start
    std::atomic<int32_t> UsedSpaceKb{0};
    std::atomic<bool> StartupAbort{false};
    QString StartupAbortReason;  // why the start was aborted, for the user and the diagnostics

    // The last software error, at most 199 bytes.
    QString SoftErrorText() const;
    void SetSoftErrorText(const QString& text);

    // Where the registry-style store lives: $XDG_CONFIG_HOME/Pelmorant/registry.ini.
    static QString RegistryFileName();
    // The computed default data folder: the program folder when "Pelmorant.ini" lies beside
    // the executable (portable use), else $XDG_DATA_HOME/Pelmorant (created, mode 0700).
    static QString DefaultAppDataDir(const QString& programDir);

    // Opens SettingsRegistry, settles AppDataDir ("Params"/"appDataDir" wins; written when
    // missing), opens TreeIni when "Tree.ini" exists and SettingsIni. Returns lines for the log
    // (stores that were unreadable and were set aside, a data folder made or changed). A data
    // folder named there that does not exist is not silently made anew: the user is asked to
    // create it, to choose another or to quit; with no one to ask, or on Quit, StartupAbort is
    // set with its reason and no folder or store is made.
    QStringList OpenStores();

    static TPelmGlobals& Instance();
    // Makes a folder readable by its owner only (mode 0700), and the parents it has to make
    // as well, whatever the umask. False when a folder could not be made.
    static bool MakePrivateDir(const QString& path);
    // Makes the folders of `path` that do not exist yet, each with mode 0700 whatever the
    // umask; folders that exist are left as they are. False when a folder could not be made.
    static bool MakeMissingDirs(const QString& path);

private:
    // False when the start ends here.
    bool SettleMissingDataFolder(QStringList& notes);

    mutable std::mutex softErrorMutex_;
    QString softErrorText_;
};
