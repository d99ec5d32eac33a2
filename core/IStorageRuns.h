// What the recording path asks of storage management when the recordings fill the medium.
// Implemented by supervision; called on the main thread.
#pragma once

class IStorageRuns {
public:
    virtual ~IStorageRuns() = default;
    virtual bool RecycleRunning() const = 0;
    virtual bool BackupRunning() const = 0;
    virtual void StartRecycleRun() = 0;
    virtual void StartBackupRun() = 0;
};
