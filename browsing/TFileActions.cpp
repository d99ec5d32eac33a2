#include "TFileActions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

#include "BrowsingTexts.h"
#include "CoreTexts.h"
#include "DatabaseTexts.h"
#include "ICallRows.h"
#include "TDatasetModel.h"
#include "TLiveSettings.h"
#include "TMailHandOff.h"
#include "TMessages.h"
#include "TfmPelmorantDB.h"

TFileActions::TFileActions(TfmPelmorantDB& db, TLiveSettings& settings, ICallRows& logger,
                           ICallRows& search, QObject* parent)
    : QObject(parent), db_(db), settings_(settings), logger_(logger), search_(search) {}

ICallRows& TFileActions::GridInUse() const {
    return InUse() == View::Search ? search_ : logger_;
}

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

std::optional<TPlayer::Call> TFileActions::CurrentCall() const {
    TVolgaDataset& set = Dataset(InUse());
    if (!set.Active() || set.RecordCount() == 0) return std::nullopt;
    auto text = [&set](const char* field) {
        return QString::fromStdString(set.FieldByName(field).AsString());
    };
    return TPlayer::Call{text("mediumLabel").trimmed(), text("fileName").trimmed(), text("Date"),
                         text("startTime"), text("Memo")};
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

void TFileActions::MoveTo(const QString& folderId) {
    if (folderId.isEmpty()) return;
    const std::string id = folderId.toStdString();
    ChangeTargets([&id](TVolgaDataset& calls) {
        calls.Edit();
        calls.FieldByName("FolderId").SetAsString(id);
        calls.Post();
    });
}

QStringList TFileActions::TargetFileNames() {
    TVolgaDataset& set = Dataset(InUse());
    QStringList names;
    if (!set.Active() || set.RecordCount() == 0) return names;
    const int recNo = set.RecNo();
    for (int r : GridInUse().TargetRows()) {
        if (r < 0 || r >= set.RecordCount()) continue;
        set.GotoBookmark(set.VisibleRecord(r));
        names << QString::fromStdString(set.FieldByName("fileName").AsString()).trimmed();
    }
    if (recNo > 0) set.SetRecNo(recNo);
    return names;
}

QString TFileActions::CopySuggestion() const {
    TVolgaDataset& set = Dataset(InUse());
    if (GridInUse().TargetRows().size() > 1) return BrowsingTexts::kSelectedFiles;
    if (!set.Active() || set.RecordCount() == 0) return QString();
    return QString::fromStdString(set.FieldByName("fileName").AsString()).trimmed();
}

void TFileActions::CopyToFolder(const QString& folder) {
    const QStringList names = TargetFileNames();
    const int count = static_cast<int>(names.size());
    const bool many = count > 4;
    for (int i = 0; i < count; ++i) {
        const QString name = names[i];
        if (!TfmPelmorantDB::IsSafeFileName(name)) continue;
        const QString from = settings_.edtFolder + name;
        const QString to = QDir(folder).filePath(name);
        // Copying a file onto itself would first remove it: it already is where it goes.
        const QFileInfo source(from), target(to);
        if (source.exists() &&
            (!target.exists() || source.canonicalFilePath() != target.canonicalFilePath())) {
            QFile::remove(to);
            QFile::copy(from, to);
        }
        if (many && Progress) Progress(i + 1, count);
    }
    if (many && Progress) Progress(-1, 0);
    GridInUse().ClearRowSelection();
}

QString TFileActions::MailBody() {
    return QString(BrowsingTexts::kMailBodyStart) + CoreTexts::kAppTitle + "\n" +
           BrowsingTexts::kProductAddress + "\n";
}

bool TFileActions::EmailFiles() {
    if (!states_.CopyMail) return false;
    QStringList attachments;
    for (const QString& name : TargetFileNames()) {
        if (name == DatabaseTexts::kSmdr) continue;
        const QString path = db_.RecordingPath(name);
        if (!path.isEmpty() && QFileInfo(path).isFile())
            attachments << path;
        else
            ShowMessage(QString(BrowsingTexts::kFileNotFound).arg(name));
    }
    if (GridInUse().TargetRows().size() > 1) GridInUse().ClearRowSelection();
    QString error;
    if (TMailHandOff::Compose(MailBody(), attachments, &error)) return true;
    ShowMessage(error);
    return false;
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
