// The backup run: moves the oldest recordings on the main storage medium, as many as fit under
// the backup capacity, into the temporary backup area and labels their call records with the
// run's backup label, which "label.txt" in the area carries to the backup medium.
// Threads: see TStorageRun (made, started and destroyed on the main thread; the body runs on
// its own worker thread and reaches the tables, the settings and the clock through steps only).
//
// The area still holds the previous batch when the run starts. Its files are deleted only when
// each of them is on the backup medium (same name and size in the medium's root); otherwise the
// run leaves the area as it is, moves nothing and says why in the log and a Thread alarm. A
// move that fails ends the moving walk, and the records marked for this run whose recordings
// stayed behind go back to the main storage medium.
#pragma once

#include "TStorageRun.h"

class TRecordWalk;

class Tbackup final : public TStorageRun {
public:
    using TStorageRun::TStorageRun;
    ~Tbackup() override { Join(); }

    static constexpr int kLabelBytes = 64;  // the width of "mediumLabel"
    // The backup label of a moment: short date, a space, long time (no time at midnight), cut
    // to the field's width without splitting a character. Main thread (the system format).
    static QString Label(double now);

protected:
    void Execute() override;

private:
    // False when the area still holds files not on the backup medium (the run ends).
    bool EmptyArea(const QString& area, const QString& mediumRoot);
    bool Mark(TRecordWalk& walk, const QString& label, long long limitKb, long long& sum);
    bool MoveRecordings(TRecordWalk& walk, const QString& label, const QString& recordings,
                        const QString& area);
};
