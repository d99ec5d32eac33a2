// The recycling run: deletes the oldest recordings on the main storage medium that together
// make up less than 30 % of the used space, files and call records. First it marks them
// "to be deleted" and saves the table, then it deletes every record so marked (also those an
// earlier, interrupted run left marked). A recording that cannot be deleted keeps its
// record, which goes back to the main storage medium, and its share of the used space.
// Threads: see TStorageRun (made, started and destroyed on the main thread; the body runs on
// its own worker thread and reaches the tables through record steps only).
//
// The used space is lowered by the records this run marked; marks left by an earlier run count
// no longer in it once the program has started again (only main-medium records are summed).
#pragma once

#include <QSet>

#include "TStorageRun.h"

class TRecordWalk;

class TrecycleHdd final : public TStorageRun {
public:
    using TStorageRun::TStorageRun;
    ~TrecycleHdd() override { Join(); }

    // What the marking walk aims at: 30 % of the used space, halves rounded to even.
    static long long Target(long long usedKb);

protected:
    void Execute() override;

private:
    // False when the run ended in the marking walk.
    bool Mark(TRecordWalk& walk, long long target, long long& sum);
    bool Delete(TRecordWalk& walk, const QString& folder);
    void DeleteRecording(TRecordWalk& walk, const QString& folder, const QString& id,
                         const QString& fileName, int sizeKb);

    QSet<QString> marked_;  // callIDs this run marked
};
