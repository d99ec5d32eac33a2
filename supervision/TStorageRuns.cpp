#include "TStorageRuns.h"

#include "TLiveSettings.h"
#include "TVolumeSpace.h"
#include "Tbackup.h"
#include "TfmPelmorantDB.h"
#include "TrecycleHdd.h"

TStorageRuns::TStorageRuns(TfmPelmorantDB& db, TLiveSettings& settings, TPelmGlobals& globals,
                           TChannelTable& channels, QObject* parent)
    : QObject(parent), db_(db), settings_(settings), globals_(globals), channels_(channels) {
    BackupRoot = [this] {
        const QStringList volumes = TVolumeSpace::Instance().Volumes();
        const int i = settings_.cbxDrive1;
        return i >= 0 && i < volumes.size() ? volumes[i] : QString();
    };
}

TStorageRuns::~TStorageRuns() {
    Shutdown();
}

void TStorageRuns::StartRecycleRun() {
    if (recycle_ || shutDown_) return;
    Start(recycle_,
          std::make_unique<TrecycleHdd>(TStorageRun::Context{
              steps_, db_, settings_, globals_, channels_, MarkPauseMs, WalkPauseMs, BackupRoot}));
}

void TStorageRuns::StartBackupRun() {
    if (backup_ || shutDown_) return;
    Start(backup_,
          std::make_unique<Tbackup>(TStorageRun::Context{
              steps_, db_, settings_, globals_, channels_, MarkPauseMs, WalkPauseMs, BackupRoot}));
}

void TStorageRuns::Start(std::unique_ptr<TStorageRun>& slot, std::unique_ptr<TStorageRun> run) {
    slot = std::move(run);
    TStorageRun* started = slot.get();
    // The thread's last act hands the end of the run to the main thread.
    started->Start([this, started] {
        QMetaObject::invokeMethod(
            this, [this, started] { Ended(started); }, Qt::QueuedConnection);
    });
}

void TStorageRuns::Ended(TStorageRun* run) {
    if (run == recycle_.get())
        recycle_.reset();
    else if (run == backup_.get())
        backup_.reset();
    else
        return;  // already joined by Shutdown
    // The runs' cursor is closed when neither of them walks it any more.
    if (!recycle_ && !backup_ && db_.tblRecycle.Active()) db_.tblRecycle.Close();
    emit runEnded();
}

void TStorageRuns::Shutdown() {
    shutDown_ = true;
    steps_.Cancel();
    recycle_.reset();
    backup_.reset();
}
