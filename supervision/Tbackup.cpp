#include "Tbackup.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <exception>

#include "DatabaseTexts.h"
#include "SupervisionTexts.h"
#include "SystemFormat.h"
#include "TAlarmQueue.h"
#include "TAtomicFile.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TFileOps.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "TRecordWalk.h"
#include "TfmPelmorantDB.h"

namespace T = SupervisionTexts;

namespace {

// Whether the backup medium holds a copy of an area file: a file of the same name and size in
// its root, and not the area's file itself.
bool OnMedium(const QFileInfo& file, const QString& mediumRoot) {
    if (mediumRoot.isEmpty()) return false;
    const QFileInfo copy(QDir(mediumRoot).filePath(file.fileName()));
    if (!copy.isFile() || copy.size() != file.size()) return false;
    struct stat a {
    }, b{};
    if (::stat(QFile::encodeName(copy.absoluteFilePath()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(file.absoluteFilePath()).constData(), &b) != 0)
        return false;
    return a.st_dev != b.st_dev || a.st_ino != b.st_ino;
}

}  // namespace

QString Tbackup::Label(double now) {
    const QString text = DateTimeText(now);
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() <= kLabelBytes) return text;
    int cut = kLabelBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
    return QString::fromUtf8(bytes.left(cut));
}

void Tbackup::Execute() {
    LogThreadId();
    // The run's label, folders and capacity, read once: one batch, one area, one label.
    QString label, area, recordings, mediumRoot;
    long long limitKb = 0;
    if (!OnMain([&] {
            label = Label(NowDateTime());
            area = ctx_.Settings.edtbackupFolder;
            recordings = ctx_.Settings.edtFolder;
            limitKb = static_cast<long long>(ctx_.Settings.speBackupCap) * 1024;
            if (ctx_.BackupRoot) mediumRoot = ctx_.BackupRoot();
        }))
        return;
    if (area.isEmpty()) {
        Fail(T::kErrorCreating + area);
        return;
    }
    if (!area.endsWith('/')) area += '/';

    if (!EmptyArea(area, mediumRoot)) return;
    if (!QFileInfo(area).isDir() && !TPelmGlobals::MakePrivateDir(area)) {
        Fail(T::kErrorCreating + area);
        return;
    }
    if (!TAtomicFile::Write(area + T::kLabelFile, label.toUtf8() + "\r\n")) {
        Fail(T::kErrorCreating + area + T::kLabelFile);
        return;
    }

    TRecordWalk walk(ctx_.Steps, ctx_.Db);
    long long sum = 0;
    if (!Mark(walk, label, limitKb, sum)) return;
    LogGeneral(T::kBackupSize + QString::number(sum));
    if (!MoveRecordings(walk, label, recordings, area)) return;
    LogGeneral(T::kBackupCompleted);
}

// The ordinary files the area holds (not folders, links or hidden files) are the previous batch
// and its "label.txt". They go only when every one of them is on the backup medium; an area
// with nothing but a label holds no recording and is simply cleared.
bool Tbackup::EmptyArea(const QString& area, const QString& mediumRoot) {
    QFileInfoList files = QDir(area).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    if (files.isEmpty()) return true;
    // The label last, so that a missing recording is the one named.
    std::stable_partition(files.begin(), files.end(),
                          [](const QFileInfo& f) { return f.fileName() != T::kLabelFile; });
    const bool recordings = files.first().fileName() != T::kLabelFile;
    if (recordings) {
        for (const QFileInfo& f : files) {
            if (OnMedium(f, mediumRoot)) continue;
            const QString text = T::kBackupAreaNotCopied + f.fileName();
            LogGeneral(text);
            QueueThreadAlarm(text);
            return false;
        }
    }
    LogGeneral(T::kDeletingBackupArea);
    for (const QFileInfo& f : files) {
        QFile::remove(f.absoluteFilePath());
        Pause(ctx_.MarkPauseMs);
    }
    return true;
}

// Labels the oldest recordings on the main medium while their sizes stay below the backup
// capacity; the record that would reach it is not labelled and ends the walk.
bool Tbackup::Mark(TRecordWalk& walk, const QString& label, long long limitKb, long long& sum) {
    try {
        bool full = false;
        const auto mark = [&](const TRecordWalk::Record& rec) {
            if (rec.Type != 0) return;
            if (sum + rec.SizeKb >= limitKb) {
                full = true;
                return;
            }
            walk.SetMedium(label, 1);
            sum += rec.SizeKb;
        };
        TRecordWalk::Record r;
        while (!full && walk.Next(r, mark))
            if (!full) Pause(ctx_.MarkPauseMs);
        return !walk.Cancelled() && walk.Save();
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
        return false;
    }
}

// Moves the recordings of the records labelled for this run into the area. After a failed
// move nothing more is moved, and every record still labelled for this run whose recording
// did not go returns to the main medium.
bool Tbackup::MoveRecordings(TRecordWalk& walk, const QString& label, const QString& recordings,
                             const QString& area) {
    const auto backToMain = [&](const TRecordWalk::Record& rec) {
        if (rec.Label == label) walk.SetMedium(DatabaseTexts::kMainStorageMedium, 0);
    };
    try {
        walk.Restart();
        bool stopped = false;
        TRecordWalk::Record r;
        while (stopped ? walk.Next(r, backToMain) : walk.Next(r)) {
            if (!stopped && r.Label == label) {
                const QString source = recordings + r.FileName;
                if (!TfmPelmorantDB::IsSafeFileName(r.FileName) || !QFileInfo::exists(source)) {
                    LogGeneral(T::kFileDoesNotExist + source);
                } else if (TFileOps::MoveNoReplace(source, area + r.FileName)) {
                    ctx_.Globals.UsedSpaceKb.fetch_sub(r.SizeKb);
                } else {
                    const QString text = T::kErrorMovingFile + source + T::kMovingTo + area;
                    LogGeneral(text);
                    QueueThreadAlarm(text);
                    stopped = true;
                    walk.Act(backToMain);
                }
            }
            Pause(ctx_.WalkPauseMs);
        }
        if (walk.Cancelled()) return false;
        return !stopped || walk.Save();
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
        return false;
    }
}
