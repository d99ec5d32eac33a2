#include "TrecycleHdd.h"

#include <QFile>
#include <QFileInfo>
#include <exception>

#include "DatabaseTexts.h"
#include "SupervisionTexts.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "TRecordWalk.h"
#include "TfmPelmorantDB.h"

namespace T = SupervisionTexts;

long long TrecycleHdd::Target(long long usedKb) {
    const long long tenths = usedKb * 30;
    long long q = tenths / 100;
    long long r = tenths % 100;
    if (r < 0) {
        r += 100;
        --q;
    }
    if (r > 50 || (r == 50 && q % 2 != 0)) ++q;
    return q;
}

void TrecycleHdd::Execute() {
    LogThreadId();
    const long long used = ctx_.Globals.UsedSpaceKb.load();
    LogGeneral(T::kMainStorageSize + QString::number(used));
    // The recordings folder of the run, read once so that every file is looked for in one place.
    QString folder;
    if (!OnMain([&] { folder = ctx_.Settings.edtFolder; })) return;
    TRecordWalk walk(ctx_.Steps, ctx_.Db);
    long long sum = 0;
    if (!Mark(walk, Target(used), sum)) return;
    LogGeneral(T::kRecycleDiskSize + QString::number(sum));
    if (!Delete(walk, folder)) return;
    LogGeneral(T::kRecycleDiskCompleted);
}

// Marks the oldest recordings on the main medium, while their sizes add up to less than the
// target; the record that reaches it is not marked. The marks are saved before anything is
// deleted, so that an interrupted run leaves them for the next one.
bool TrecycleHdd::Mark(TRecordWalk& walk, long long target, long long& sum) {
    try {
        bool reached = false;
        const auto mark = [&](const TRecordWalk::Record& rec) {
            if (rec.Type != 0) return;  // on a backup medium: not ours to delete
            sum += rec.SizeKb;
            if (sum >= target) {
                reached = true;
                return;
            }
            walk.SetMedium(T::kToBeDeleted);
            marked_.insert(rec.Id);
        };
        TRecordWalk::Record r;
        while (!reached && walk.Next(r, mark))
            if (!reached) Pause(ctx_.MarkPauseMs);
        return !walk.Cancelled() && walk.Save();
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
        return false;
    }
}

bool TrecycleHdd::Delete(TRecordWalk& walk, const QString& folder) {
    try {
        walk.Restart();
        TRecordWalk::Record r;
        while (walk.Next(r)) {
            if (r.Label == T::kToBeDeleted)
                DeleteRecording(walk, folder, r.Id, r.FileName, r.SizeKb);
            Pause(ctx_.WalkPauseMs);
        }
        return !walk.Cancelled() && walk.Save();
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
        return false;
    }
}

// The recording first (here, on the worker thread), then its record in a step of its own. A
// recording that is there and will not go keeps its record, back on the main medium, and its
// share of the used space.
void TrecycleHdd::DeleteRecording(TRecordWalk& walk, const QString& folder, const QString& id,
                                  const QString& fileName, int sizeKb) {
    const bool safe = TfmPelmorantDB::IsSafeFileName(fileName);
    if (!safe && !fileName.isEmpty()) LogGeneral(DatabaseTexts::kUnsafeFileName + fileName);
    const QString path = safe ? folder + fileName : QString();
    if (!path.isEmpty() && QFileInfo::exists(path) && !QFile::remove(path)) {
        LogGeneral(T::kErrorDeletingFile + path);
        // Back on the main medium it counts in the used space again, as it will at the next
        // start.
        if (walk.Act([&](const TRecordWalk::Record&) {
                walk.SetMedium(DatabaseTexts::kMainStorageMedium);
            }) &&
            !marked_.contains(id))
            ctx_.Globals.UsedSpaceKb.fetch_add(sizeKb);
        return;
    }
    if (walk.Act([&](const TRecordWalk::Record&) { walk.DeleteRecord(); }) && marked_.contains(id))
        ctx_.Globals.UsedSpaceKb.fetch_sub(sizeKb);
}
