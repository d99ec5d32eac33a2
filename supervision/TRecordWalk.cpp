#include "TRecordWalk.h"

#include <algorithm>

#include "TDatasetModel.h"
#include "TTableSteps.h"
#include "TfmPelmorantDB.h"

TRecordWalk::TRecordWalk(TTableSteps& steps, TfmPelmorantDB& db) : steps_(steps), db_(db) {}

void TRecordWalk::Restart() {
    atStart_ = true;
    prevId_.clear();
    hint_ = 0;
    currentPos_ = -1;
}

bool TRecordWalk::Run(const std::function<void()>& step) {
    if (cancelled_) return false;
    if (!steps_.Run(step)) cancelled_ = true;
    return !cancelled_;
}

// Main thread: the clone, open and showing every record that is in the table now (calls filed
// or deleted through tblCalls since the last step reach it only when it is rebuilt).
TVolgaTable& TRecordWalk::Clone() {
    if (!db_.tblCalls.Active()) db_.tblCalls.Open();
    TVolgaTable& t = db_.tblRecycle;
    if (!t.Active())
        t.Open();
    else
        t.Rebuild();
    idField_ = t.FieldByName("callID").FieldNo();
    return t;
}

std::string TRecordWalk::IdAt(TVolgaTable& t, int row) const {
    return t.TextAt(row, idField_);
}

// The row of the next record to visit.
int TRecordWalk::Locate(TVolgaTable& t) const {
    const int count = t.RecordCount();
    if (atStart_) return 0;
    if (hint_ >= 1 && hint_ - 1 < count && IdAt(t, hint_ - 1) == prevId_) return hint_;
    for (int row = 0; row < count; ++row)
        if (IdAt(t, row) == prevId_) return row + 1;
    // The record passed last was deleted meanwhile: go on from about where it was.
    return std::min(hint_, count);
}

// After a visit of the record at `pos`: the walk goes on after it, or, when the visit deleted
// it, with the record that took its row.
void TRecordWalk::Passed(TVolgaTable& t, int pos, const TVolgaRecord* visited) {
    const bool kept = pos < t.RecordCount() && t.VisibleRecord(pos) == visited;
    const int last = kept ? pos : pos - 1;
    atStart_ = last < 0;
    prevId_ = last < 0 ? std::string() : IdAt(t, last);
    hint_ = last + 1;
}

TRecordWalk::Record TRecordWalk::Read(TVolgaTable& t) const {
    Record r;
    r.Id = QString::fromStdString(t.FieldByName("callID").AsString());
    r.Label = QString::fromStdString(t.FieldByName("mediumLabel").AsString());
    r.Type = static_cast<int>(t.FieldByName("mediumType").AsInteger());
    r.SizeKb = static_cast<int>(t.FieldByName("fileSize").AsInteger());
    r.FileName = QString::fromStdString(t.FieldByName("fileName").AsString()).trimmed();
    return r;
}

bool TRecordWalk::Next(Record& record, const Visit& visit) {
    bool found = false;
    const bool ran = Run([&] {
        TVolgaTable& t = Clone();
        const int pos = Locate(t);
        if (pos >= t.RecordCount()) return;
        t.SetRecNo(pos + 1);
        const TVolgaRecord* visited = t.CurrentRecord();
        current_ = Read(t);
        currentPos_ = pos;
        found = true;
        // Passed first: when the visit throws, the walk is over anyway.
        Passed(t, pos, visited);
        if (visit) {
            visit(current_);
            Passed(t, pos, visited);
        }
    });
    if (ran && found) record = current_;
    return ran && found;
}

bool TRecordWalk::Act(const Visit& visit) {
    if (currentPos_ < 0) return false;
    bool found = false;
    const bool ran = Run([&] {
        TVolgaTable& t = Clone();
        const std::string id = current_.Id.toStdString();
        int pos = -1;
        if (currentPos_ < t.RecordCount() && IdAt(t, currentPos_) == id) {
            pos = currentPos_;
        } else {
            for (int row = 0; row < t.RecordCount() && pos < 0; ++row)
                if (IdAt(t, row) == id) pos = row;
        }
        if (pos < 0) {
            // Deleted meanwhile: the next record has taken its row.
            atStart_ = currentPos_ == 0;
            hint_ = currentPos_;
            return;
        }
        t.SetRecNo(pos + 1);
        const TVolgaRecord* visited = t.CurrentRecord();
        found = true;
        visit(current_);
        Passed(t, pos, visited);
    });
    return ran && found;
}

bool TRecordWalk::Save() {
    return Run([&] {
        TVolgaTable& t = Clone();
        // Saving through the clone rebuilds tblCalls, whose rows the logger grid shows.
        if (db_.CallsModel) db_.CallsModel->BeginUpdate();
        try {
            t.SaveChanges();
        } catch (...) {
            if (db_.CallsModel) db_.CallsModel->EndUpdate();
            throw;
        }
        if (db_.CallsModel) db_.CallsModel->EndUpdate();
    });
}

void TRecordWalk::SetMedium(const QString& label, std::optional<int> type) {
    TVolgaTable& t = db_.tblRecycle;
    try {
        t.Edit();
        t.FieldByName("mediumLabel").SetAsString(label.toStdString());
        if (type) t.FieldByName("mediumType").SetAsInteger(*type);
        t.Post();
    } catch (...) {
        if (t.State() == TDataSetState::dsEdit) t.Cancel();
        throw;
    }
}

void TRecordWalk::DeleteRecord() {
    TVolgaTable& t = db_.tblRecycle;
    // A record the logger grid shows leaves its rows as well: tblCalls is rebuilt at once,
    // inside a reset of the grid's model. Others leave only the clone.
    const bool shown = db_.tblCalls.Active() && db_.tblCalls.BookmarkValid(t.CurrentRecord());
    TDatasetModel* model = shown ? db_.CallsModel : nullptr;
    if (model) model->BeginUpdate();
    try {
        t.Delete();
        if (shown) db_.tblCalls.Rebuild();
    } catch (...) {
        if (model) model->EndUpdate();
        throw;
    }
    if (model) model->EndUpdate();
}
