// Storage management's runs: starts the recycling run (TrecycleHdd) and the backup run
// (Tbackup), each on a worker thread of its own, at most one of each kind at a time, and keeps
// the run flags the storage trigger and the Tests window look at.
// Threads: made, used (the flags, StartRecycleRun, StartBackupRun, Shutdown) and destroyed on
// the main thread only, whose event loop also does the runs' record steps (TTableSteps). A
// run's flag is set here before its thread starts, so two triggers in a row cannot start two
// runs of a kind, and cleared when the thread has ended and its object is destroyed, which
// happens on the main thread as well. Shutdown (also done by the destructor) refuses the runs'
// further record steps and waits for their threads; the program's exit calls it before it
// closes the calls database.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "IStorageRuns.h"
#include "TTableSteps.h"

class TChannelTable;
class TLiveSettings;
class TPelmGlobals;
class TStorageRun;
class TfmPelmorantDB;

class TStorageRuns : public QObject, public IStorageRuns {
    Q_OBJECT
public:
    TStorageRuns(TfmPelmorantDB& db, TLiveSettings& settings, TPelmGlobals& globals,
                 TChannelTable& channels, QObject* parent = nullptr);
    ~TStorageRuns() override;

    bool RecycleRunning() const override { return recycle_ != nullptr; }
    bool BackupRunning() const override { return backup_ != nullptr; }
    // Start a run unless one of its kind is running (or the program is ending).
    void StartRecycleRun() override;
    void StartBackupRun() override;
    // Ends the runs at the program's exit: their waiting record steps are refused and their
    // threads joined; nothing starts afterwards.
    void Shutdown();

    // Pauses after each record: marking walks, and the deletion and moving walks (ms).
    int MarkPauseMs = 2;
    int WalkPauseMs = 10;
    // Root folder of the backup medium: the mounted volume chosen by "Backup medium"
    // (cbxDrive1), empty when there is none. Called on the main thread.
    std::function<QString()> BackupRoot;

signals:
    // A run has ended and its flag is clear.
    void runEnded();

private:
    void Start(std::unique_ptr<TStorageRun>& slot, std::unique_ptr<TStorageRun> run);
    void Ended(TStorageRun* run);

    TfmPelmorantDB& db_;
    TLiveSettings& settings_;
    TPelmGlobals& globals_;
    TChannelTable& channels_;
    TTableSteps steps_;
    // A run's flag is its object: set from the start until its thread has ended.
    std::unique_ptr<TStorageRun> recycle_;
    std::unique_ptr<TStorageRun> backup_;
    bool shutDown_ = false;
};
