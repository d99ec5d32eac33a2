// What the two storage runs (TrecycleHdd, Tbackup) have in common: the worker thread a run is,
// its first log line, its pauses and the way a failure ends it.
// Threads: the owner (TStorageRuns) makes the run, calls Start and destroys it on the main
// thread; the destructor waits for the thread. Execute and everything it calls run on the
// worker thread. The worker reaches the tables, the live settings, the clock and the channel
// table only through steps that OnMain has the main thread do (TTableSteps); it touches
// directly only the files of the recordings folder and the backup area, UsedSpaceKb (atomic),
// the event log and the alarm queue (both guarded by their own locks).
#pragma once

#include <QString>
#include <functional>
#include <thread>

class TChannelTable;
class TLiveSettings;
class TPelmGlobals;
class TTableSteps;
class TfmPelmorantDB;

class TStorageRun {
public:
    struct Context {
        TTableSteps& Steps;
        TfmPelmorantDB& Db;
        TLiveSettings& Settings;
        TPelmGlobals& Globals;
        TChannelTable& Channels;
        int MarkPauseMs = 2;   // after each record of a marking walk
        int WalkPauseMs = 10;  // after each record of a deletion or moving walk
        // Root folder of the backup medium; called on the main thread.
        std::function<QString()> BackupRoot;
    };

    explicit TStorageRun(Context context);
    // A run must have been joined before its derived part goes: the derived classes' destructors
    // call Join.
    virtual ~TStorageRun();
    TStorageRun(const TStorageRun&) = delete;
    TStorageRun& operator=(const TStorageRun&) = delete;

    // Main thread: registers the worker with the steps and starts the thread; `ended` is the
    // thread's last call, made on the worker thread after the run has ended in any way.
    void Start(std::function<void()> ended);
    // Main thread: waits until the thread has ended.
    void Join();

protected:
    // The run's body (worker thread).
    virtual void Execute() = 0;

    // Logs "thread  id->" and the thread's identifier as 8 upper-case hexadecimal digits.
    void LogThreadId();
    void Pause(int ms) const;
    // Runs `step` on the main thread; false when the program is ending (the step was not done).
    bool OnMain(const std::function<void()>& step);
    // A failure that ends the run: every channel leaves operation, the text is logged and
    // raised as a Thread alarm.
    void Fail(const QString& text);

    Context ctx_;

private:
    std::thread thread_;
};
