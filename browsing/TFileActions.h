// The file actions on the call grid in view (the logger grid over the Calls table, or the
// search grid over the search result): "Memo...", "Delete File(s)...", "Move to...", "Copy to
// folder..." and "Email wav file to...", and the enabled states of the file and player actions
// for the current row. An action works on the grid's target rows
// (its selected rows in selection order, or its current row) and changes their Calls records
// through the Calls table; in the search view a row stands for the Calls record with the same
// callID (looked up with the folder filter off, which is switched on again afterwards). More than
// four rows show the progress bar, and the grid's display is suspended meanwhile. Then the table
// is written to its file, both views are brought up to date, the selection is cleared and the
// grid goes back to the row it was on. Main thread only.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "TPlayer.h"

class ICallRows;
class TDatasetModel;
struct TLiveSettings;
class TVolgaDataset;
class TfmPelmorantDB;

class TFileActions : public QObject {
    Q_OBJECT
public:
    enum class View { Logger, Search };
    struct States {
        bool Player = false;    // play, stop, pause, to start, rewind, fast forward, to end
        bool Edit = false;      // "Memo...", "Move to...", "Delete File(s)...", "Select all"
        bool CopyMail = false;  // "Copy to folder...", "Email wav file to..."
        bool Print = false;     // "Print Preview", "Print..." (with a Logger or Search view)
        bool operator==(const States&) const = default;
    };

    TFileActions(TfmPelmorantDB& db, TLiveSettings& settings, ICallRows& logger, ICallRows& search,
                 QObject* parent = nullptr);

    // The grid in view, and the grids' models whose display is suspended during a long action.
    std::function<View()> ViewInUse;
    TDatasetModel* LoggerModel = nullptr;
    TDatasetModel* SearchModel = nullptr;
    std::function<void(int step, int steps)> Progress;  // step -1: hide

    // Recomputes the states for the current row of the grid in view.
    void UpdateFileActions();
    const States& Current() const { return states_; }

    void Memo();
    void DeleteFiles();
    // Sets the folder of the target rows' calls (what "Move to..." and a drop on the tree do).
    void MoveTo(const QString& folderId);
    // Copies the target rows' recordings into `folder`, replacing files of the same name; a
    // file that is its own target (the recordings folder itself) is left as it is, and a
    // missing recording is passed over.
    void CopyToFolder(const QString& folder);
    // The current row of the grid in view as the player takes it; none without a row.
    std::optional<TPlayer::Call> CurrentCall() const;
    // The name the copy dialog suggests: the current row's file, or "Selected Files".
    QString CopySuggestion() const;
    // The target rows' recordings attached to a new message in the mail program ("SMDR" rows
    // passed over; a missing file is said and the others attached). False when the mail program
    // could not take it (said to the user).
    bool EmailFiles();
    // The body of that message.
    static QString MailBody();

signals:
    void statesChanged();

private:
    View InUse() const { return ViewInUse ? ViewInUse() : View::Logger; }
    TVolgaDataset& Dataset(View view) const;
    // Runs `change` on the Calls record of every target row, with the steps the header tells.
    void ChangeTargets(const std::function<void(TVolgaDataset& calls)>& change);

    // The recording file names of the target rows, read from the grid's own dataset.
    QStringList TargetFileNames();
    ICallRows& GridInUse() const;

    TfmPelmorantDB& db_;
    TLiveSettings& settings_;
    ICallRows& logger_;
    ICallRows& search_;
    States states_;
};
