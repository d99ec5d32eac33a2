// The file actions on the call grid in view (the logger grid over the Calls table, or the
// search grid over the search result): "Memo..." and "Delete File(s)...", and the enabled states
// of the file and player actions for the current row. An action works on the grid's target rows
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

class ICallRows;
class TDatasetModel;
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

    TFileActions(TfmPelmorantDB& db, ICallRows& logger, ICallRows& search,
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

signals:
    void statesChanged();

private:
    View InUse() const { return ViewInUse ? ViewInUse() : View::Logger; }
    TVolgaDataset& Dataset(View view) const;
    // Runs `change` on the Calls record of every target row, with the steps the header tells.
    void ChangeTargets(const std::function<void(TVolgaDataset& calls)>& change);

    TfmPelmorantDB& db_;
    ICallRows& logger_;
    ICallRows& search_;
    States states_;
};
