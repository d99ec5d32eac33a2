#include "TPelmGlobals.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

#include "CoreTexts.h"
#include "TMessages.h"

TPelmGlobals& TPelmGlobals::Instance() {
    static TPelmGlobals globals;
    return globals;
}

QString TPelmGlobals::SoftErrorText() const {
    std::lock_guard<std::mutex> lock(softErrorMutex_);
    return softErrorText_;
}

void TPelmGlobals::SetSoftErrorText(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > 199) {
        bytes.truncate(199);
        while (!bytes.isEmpty() && (static_cast<unsigned char>(bytes.back()) & 0xC0) == 0x80)
            bytes.chop(1);
        if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) >= 0xC0) bytes.chop(1);
    }
    std::lock_guard<std::mutex> lock(softErrorMutex_);
    softErrorText_ = QString::fromUtf8(bytes);
}

bool TPelmGlobals::MakePrivateDir(const QString& path) {
    if (!MakeMissingDirs(path)) return false;
    return ::chmod(QFile::encodeName(QDir::cleanPath(QDir(path).absolutePath())).constData(),
                   0700) == 0;
}

bool TPelmGlobals::MakeMissingDirs(const QString& path) {
    // Every folder made on the way gets its mode set explicitly (0700), whatever the umask.
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const QStringList parts = clean.split('/', Qt::SkipEmptyParts);
    QString current;
    for (const QString& part : parts) {
        current += "/" + part;
        if (QFileInfo(current).isDir()) continue;
        const QByteArray name = QFile::encodeName(current);
        if (::mkdir(name.constData(), 0700) == 0) {
            if (::chmod(name.constData(), 0700) != 0) return false;
        } else if (errno != EEXIST || !QFileInfo(current).isDir()) {
            return false;
        }
    }
    return true;
}

QString TPelmGlobals::RegistryFileName() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + "/Pelmorant/registry.ini";
}

QString TPelmGlobals::DefaultAppDataDir(const QString& programDir) {
    if (!programDir.isEmpty() && QFileInfo::exists(programDir + "/Pelmorant.ini"))
        return QDir::cleanPath(programDir);
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString dir = data + "/" + CoreTexts::kAppTitle;
    MakePrivateDir(dir);
    return dir;
}

bool TPelmGlobals::SettleMissingDataFolder(QStringList& notes) {
    const QString missing = AppDataDir;
    TMessages& ask = TMessages::Instance();
    const QStringList buttons = {CoreTexts::kCreateIt, CoreTexts::kChooseAnother, CoreTexts::kQuit};
    for (;;) {
        const int answer = ask.Choose(QString(CoreTexts::kDataFolderMissing).arg(missing), buttons);
        if (answer == 0) {
            if (MakePrivateDir(missing)) {
                notes << CoreTexts::kDataFolderCreated + missing;
                return true;
            }
            ask.Show(QString(CoreTexts::kDataFolderNotMade).arg(missing));
            continue;
        }
        if (answer != 1) break;
        QString chosen = QFileInfo(missing).absolutePath();
        while (!chosen.isEmpty() && !QFileInfo(chosen).isDir()) {
            const QString up = QFileInfo(chosen).absolutePath();
            chosen = up == chosen ? QString() : up;
        }
        if (!ask.ChooseFolder(CoreTexts::kChooseDataFolder, chosen)) continue;  // ask again
        chosen = QDir::cleanPath(chosen);
        if (!MakePrivateDir(chosen)) {
            ask.Show(QString(CoreTexts::kDataFolderNotMade).arg(chosen));
            continue;
        }
        AppDataDir = chosen;
        SettingsRegistry.WriteString("Params", "appDataDir", chosen);
        notes << QString(CoreTexts::kDataFolderChanged).arg(missing, chosen);
        return true;
    }
    StartupAbortReason =
        QString(CoreTexts::kDataFolderMissingQuit).arg(missing, SettingsRegistry.FileName());
    notes << StartupAbortReason;
    StartupAbort = true;
    return false;
}

QStringList TPelmGlobals::OpenStores() {
    QStringList notes;
    QString registry = RegistryFileName();
    MakePrivateDir(QFileInfo(registry).absolutePath());
    if (SettingsRegistry.Open(registry) == TIniFile::LoadResult::SetAside)
        notes << QString(CoreTexts::kSettingsSetAside) + SettingsRegistry.SetAsidePath();
    const bool named = SettingsRegistry.ValueExists("Params", "appDataDir");
    if (!named) SettingsRegistry.WriteString("Params", "appDataDir", DefaultAppDataDir(ProgramDir));
    AppDataDir = QDir::cleanPath(SettingsRegistry.ReadString("Params", "appDataDir", QString()));
    if (AppDataDir.isEmpty()) AppDataDir = DefaultAppDataDir(ProgramDir);
    if (named && !QFileInfo(AppDataDir).isDir()) {
        if (!SettleMissingDataFolder(notes)) return notes;
    }
    MakePrivateDir(AppDataDir);
    TreeIni.reset();
    if (QFileInfo::exists(AppDataDir + "/Tree.ini"))
        TreeIni = std::make_unique<TIniFile>(AppDataDir + "/Tree.ini");
    if (SettingsIni.Open(AppDataDir + "/Pelmorant.ini") == TIniFile::LoadResult::SetAside)
        notes << QString(CoreTexts::kSettingsSetAside) + SettingsIni.SetAsidePath();
    return notes;
}
