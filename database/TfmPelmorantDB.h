// The calls database module: the database object and every table of the program, the calls'
// calculated fields, filing a call, the recordings' used space and the database copies. Needs
// QtCore only; its developer window is TfmCallsDbWindow. Main thread only: workers reach the
// tables through TTableSteps.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "ICallFiling.h"
#include "TFolderTree.h"
#include "TTableSalvage.h"
#include "TVolgaDatabase.h"
#include "TVolgaQuery.h"
#include "TVolgaTable.h"

struct Tchannel;
class TDatasetModel;
class TIniFile;
class TLiveSettings;
class TPelmGlobals;

class TfmPelmorantDB : public QObject, public ICallFiling {
    Q_OBJECT
public:
    TfmPelmorantDB(TPelmGlobals& globals, TLiveSettings& settings, QObject* parent = nullptr);
    ~TfmPelmorantDB() override;  // closes the tables

    TVolgaDatabase dbPelmorant;
    TVolgaTable tblCalls;
    TVolgaTable tblRecycle;
    // Search results: prepared here, opened by the search.
    TVolgaQuery queSearch;
    TVolgaTable tblExport;
    TVolgaTable tblChannels;
    TVolgaTable tblAlarms;
    TVolgaTable tblTree;
    TFolderTree Tree;
    QString MainFolderId;
    TDateInUse DateInUse;

    // Opens or creates the tables and loads the folder tree. Errors of a table that cannot be
    // opened are shown; false when the folder tree could not be loaded (start-up is then
    // aborted).
    bool OpenDatabase();
    // Files one kept call (a copy of its channel record).
    void AddCall(const Tchannel& channel) override;
    void AddRecoveredCall(const Tchannel& channel, const QString& memo) override;
    QSet<QString> RecordedFileNames() const override;
    int SumUsedSpace();
    // The tables that could not be loaded at this start and what became of them; the calls
    // whose folder was lost and that Main shows now.
    QList<TTableSalvage::Result> Salvaged;
    int CallsMovedToMain = 0;
    // What the user is told, once, of the tables salvaged (empty when none was), with the calls
    // filed again from their recordings.
    QStringList SalvageReport(int callsFromRecordings) const;
    void BackupDatabaseFiles();
    // Every call back on the main storage medium ("Main storage medium", type 0), the table
    // written once; the used space is left as it is. Throws the engine's error.
    void ResetMediumLabels();

    // The recording of a Calls record, or empty when its file name would leave the recordings
    // folder (a damaged or hostile table).
    QString RecordingPath(const QString& fileName) const;
    static bool IsSafeFileName(const QString& fileName);
    // Size of a recording in KiB: bytes / 1024, halves rounded to even.
    static int RoundFileSizeKb(qint64 bytes);

    // Field layouts of the tables.
    static std::vector<TVolgaFieldDef> CallsFields();
    static std::vector<TVolgaFieldDef> ChannelsFields();
    static std::vector<TVolgaFieldDef> AlarmsFields();
    static std::vector<TVolgaFieldDef> TreeFields();

    // What the folder tree's view does for AddCall: show the selected folder again; expand the
    // whole tree and select its last node.
    std::function<void()> ShowSelectedFolder;
    std::function<void()> ExpandAllAndSelectLast;
    // Set while the grids' display of tblCalls is suspended.
    TDatasetModel* CallsModel = nullptr;
    // The software-error alarm and mail for a channel (the alarm layer); may be unset.
    std::function<void(int channel)> SoftwareErrorAlarm;

signals:
    // A channel whose call could not be filed properly leaves operation.
    void operationLost(int channel);
    // Summing the used space of a large table: `position` of `total` records; -1 when done.
    void usedSpaceProgress(int position, int total);

private:
    void FileCallRecord(const Tchannel& channel, const QDate& date, const QString* memo);
    void SalvageDamagedTables();
    void ShowLostFoldersInMain();

    void OpenOrCreate(TVolgaTable& table, const QString& fileName,
                      const std::vector<TVolgaFieldDef>& defs, bool& created);
    void CallsCalcFields(TVolgaDataset& ds);
    void CallsBeforeDelete(TVolgaDataset& ds);
    void SearchCalcFields(TVolgaDataset& ds);
    void SearchBeforeDelete(TVolgaDataset& ds);
    void AlarmsCalcFields(TVolgaDataset& ds);

    TPelmGlobals& globals_;
    TLiveSettings& settings_;
};
