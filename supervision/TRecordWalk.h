// A storage run's walk over the Calls records in table order (the order in which the calls were
// filed, oldest first) through the runs' own cursor, the clone tblRecycle, one record at a time.
// Threads: a walk is made and driven by one worker thread (Restart, Next, Act, Save,
// Cancelled). The table engine is not thread-safe, so the worker never touches a table: every
// record step (find the place again, read the record, edit and post or delete it, save) is done
// on the main thread by TTableSteps while the worker waits. The visit functions handed to Next
// and Act, and SetMedium and DeleteRecord called inside them, therefore run on the main thread.
// This is how the clone cursor with its table lock is realised here: record steps of the runs
// and the main thread's own writers (filing a call, deleting, editing memos) never interleave,
// and the main thread is held up for no longer than one record step.
//
// Between two steps the main thread may file or delete calls, so each step finds its place
// again from the record passed last (by its callID) instead of keeping a position.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class TTableSteps;
class TVolgaRecord;
class TVolgaTable;
class TfmPelmorantDB;

class TRecordWalk {
public:
    // The medium fields of a record, as read in its step.
    struct Record {
        QString Id;
        QString Label;
        int Type = 0;
        int SizeKb = 0;
        QString FileName;
    };
    // Runs on the main thread with the clone on the record.
    using Visit = std::function<void(const Record&)>;

    TRecordWalk(TTableSteps& steps, TfmPelmorantDB& db);

    // Worker: the next walk starts again at the first record.
    void Restart();
    // Worker: moves to the next record and reads it; `visit`, when given, acts on it in the
    // same step. False at the end of the table, and when the steps were cancelled. Throws
    // std::runtime_error with the text of a table error.
    bool Next(Record& record, const Visit& visit = {});
    // Worker: acts in a step of its own on the record Next read last, found again by its
    // callID; false when it is gone meanwhile (or the steps were cancelled).
    bool Act(const Visit& visit);
    // Worker: saves the Calls table to its file; false when cancelled.
    bool Save();
    // Worker: true once a step was refused because the program is ending.
    bool Cancelled() const { return cancelled_; }

    // Main thread, inside a visit: sets the record's medium label (and type) and posts it.
    void SetMedium(const QString& label, std::optional<int> type = std::nullopt);
    // Main thread, inside a visit: deletes the record (the recording is the run's business).
    void DeleteRecord();

private:
    bool Run(const std::function<void()>& step);
    TVolgaTable& Clone();
    std::string IdAt(TVolgaTable& t, int row) const;
    int Locate(TVolgaTable& t) const;
    void Passed(TVolgaTable& t, int pos, const TVolgaRecord* visited);
    Record Read(TVolgaTable& t) const;

    TTableSteps& steps_;
    TfmPelmorantDB& db_;
    bool cancelled_ = false;
    // Where the walk is: at the start, or just after the record `prevId_`, which was at row
    // `hint_` - 1 when it was passed.
    bool atStart_ = true;
    std::string prevId_;
    int hint_ = 0;
    // The record Next read last and where it was.
    Record current_;
    int currentPos_ = -1;
    int idField_ = -1;
};
