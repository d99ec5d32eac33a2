#include "TFileActions.h"

#include <exception>

#include "BrowsingTexts.h"
#include "DatabaseTexts.h"
#include "ICallRows.h"
#include "TDatasetModel.h"
#include "TMessages.h"
#include "TfmPelmorantDB.h"

TFileActions::TFileActions(TfmPelmorantDB& db, ICallRows& logger, ICallRows& search,
                           QObject* parent)
    : QObject(parent), db_(db), logger_(logger), search_(search) {}

TVolgaDataset& TFileActions::Dataset(View view) const {
    return view == View::Search ? static_cast<TVolgaDataset&>(db_.queSearch)
                                : static_cast<TVolgaDataset&>(db_.tblCalls);
}

void TFileActions::UpdateFileActions() {
    TVolgaDataset& set = Dataset(InUse());
    States s;
    if (set.Active() && set.RecordCount() > 0) {
        const bool smdr = set.FieldByName("fileName").AsString() == DatabaseTexts::kSmdr;
        s.Edit = true;
        s.Player = s.CopyMail = !smdr;
        s.Print = true;  // the main window narrows it to the Logger and Search views
    }
    if (s == states_) return;
    states_ = s;
    emit statesChanged();
}

void TFileActions::Memo() {
    TVolgaDataset& set = Dataset(InUse());
    if (!set.Active() || set.RecordCount() == 0) return;
    const QString current = QString::fromStdString(set.FieldByName("Memo").AsString());
    const QString text = InputBox(BrowsingTexts::kMemoCaption, QString(), current);
    // Compared with the current row's memo only, also for a multi-selection.
    if (text == current) return;
    const std::string value = text.isEmpty() ? std::string(" ") : text.toStdString();
    ChangeTargets([&value](TVolgaDataset& calls) {
        calls.Edit();
        calls.FieldByName("Memo").SetAsString(value);
        calls.Post();
    });
}

void TFileActions::DeleteFiles() {
    TVolgaDataset& set = Dataset(InUse());
    if (!set.Active() || set.RecordCount() == 0) return;
    if (!ConfirmMessage(BrowsingTexts::kDeleteQuestion)) return;
    // The table's delete handler removes the recording and lowers the used space.
    ChangeTargets([](TVolgaDataset& calls) { calls.Delete(); });
}

void TFileActions::ChangeTargets(const std::function<void(TVolgaDataset& calls)>& change) {
    const View view = InUse();
    TVolgaDataset& set = Dataset(view);
    ICallRows& grid = view == View::Search ? search_ : logger_;
    TVolgaTable& calls = db_.tblCalls;
    const int recNo = set.RecNo();
    const std::vector<int> rows = grid.TargetRows();
    if (rows.empty()) return;

    // The rows' records, taken before anything changes what the grid's dataset lists: in the
    // logger view the Calls records themselves, in the search view their callIDs.
    std::vector<TVolgaBookmark> marks;
    QStringList ids;
    for (int r : rows) {
        if (r < 0 || r >= set.RecordCount()) continue;
        if (view == View::Logger) {
            marks.push_back(set.VisibleRecord(r));
        } else {
            set.GotoBookmark(set.VisibleRecord(r));
            ids << QString::fromStdString(set.FieldByName("callID").AsString());
        }
    }
    const int count = static_cast<int>(view == View::Logger ? marks.size() : ids.size());
    const bool many = count > 4;
    // Both grids show the records that change: their display waits for the end.
    for (TDatasetModel* m : {LoggerModel, SearchModel})
        if (m) m->BeginUpdate();
    try {
        if (view == View::Search) calls.SetFiltered(false);
        for (int i = 0; i < count; ++i) {
            if (view == View::Logger) {
                calls.GotoBookmark(marks[static_cast<size_t>(i)]);
                if (calls.GetBookmark() != marks[static_cast<size_t>(i)]) continue;
            } else if (!calls.Locate("callID", TVolgaValue(ids[i].toStdString()))) {
                continue;
            }
            change(calls);
            if (many && Progress) Progress(i + 1, count);
        }
        if (many && Progress) Progress(-1, 0);
        calls.SaveChanges();
        // Both views up to date.
        if (view == View::Search) {
            try {
                db_.queSearch.Close();
                db_.queSearch.Open();
            } catch (const std::exception&) {
            }
        } else {
            calls.Refresh();
            if (db_.queSearch.Active()) {
                db_.queSearch.Close();
                db_.queSearch.Open();
            }
        }
    } catch (const std::exception& e) {
        if (calls.State() == TDataSetState::dsEdit) calls.Cancel();
        if (Progress) Progress(-1, 0);
        ShowMessage(QString::fromUtf8(e.what()));
    }
    if (!calls.Filtered()) calls.SetFiltered(true);
    for (TDatasetModel* m : {LoggerModel, SearchModel})
        if (m) m->EndUpdate();
    grid.ClearRowSelection();
    if (set.Active() && set.RecordCount() > 0 && recNo > 0)
        set.SetRecNo(std::min(recNo, set.RecordCount()));
    UpdateFileActions();
}
