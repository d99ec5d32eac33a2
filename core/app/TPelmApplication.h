// The program's modules, created in their fixed order at start and destroyed at the end.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "TLoggerModel.h"
#include "TSearchModel.h"

class TEventLog;
class TfmLog;
class TfmPelmUsb;
class TfmPelmorantDB;
class TfmCallsDbWindow;
class TTreeController;
class TFilteredNumbers;
class TfmFilterNums;
class TfmConfig;
class TfmNewPassword;
class TfmPassProtection;
class TCAudioRecorder;
class TCallCompletion;
class TStorageRuns;
class TdmRecorder;
class IMixer;
class TMessageBoxes;
class TMainController;
class TTreeFeature;
class TSupervisionFeature;
class TRecorderFeature;
class TCallGridsFeature;
class TDbBackupSchedule;
class TCallExport;
class TCallSearch;
class TCallListPrinting;
class TAlarms;
class QAbstractItemView;
class TVolgaDataset;
class TAlarmMailer;
class TfmTestPelmorant;
class TFileActionsFeature;
class TPlayer;
class TPlayerFeature;
class TQtWaveOutput;
class TFileActions;

class TPelmApplication : public QObject {
    Q_OBJECT
public:
    explicit TPelmApplication(const QStringList& args, QObject* parent = nullptr);
    ~TPelmApplication() override;

    // Creates the modules; false when the start was aborted (no window is then shown).
    bool Start();
    // Shows the main window and starts its monitor timer.
    void Run();

    TfmPelmUsb* MainWindow() const { return main_.get(); }
    TMainController* MainController() const { return controller_.get(); }
    TfmLog* LogWindow() const { return logWindow_.get(); }
    TEventLog* Log() const { return log_.get(); }
    TfmPelmorantDB* Database() const { return db_.get(); }
    TfmCallsDbWindow* DatabaseWindow() const { return dbWindow_.get(); }
    TTreeController* TreeController() const { return tree_.get(); }
    TFilteredNumbers* FilteredNumbers() const { return filtered_.get(); }
    TfmFilterNums* FilterNumsWindow() const { return filterNums_.get(); }
    TfmConfig* Config() const { return config_.get(); }
    TfmNewPassword* NewPasswordWindow() const { return newPassword_.get(); }
    TfmPassProtection* PassProtectionWindow() const { return passProtection_.get(); }
    TDatasetModel* LoggerModel() const { return loggerModel_.get(); }
    TDatasetModel* SearchModel() const { return searchModel_.get(); }
    TCallSearch* Search() const { return search_.get(); }
    TAlarms* Alarms() const { return alarms_.get(); }
    TAlarmMailer* Mailer() const { return mailer_.get(); }
    TfmTestPelmorant* TestsWindow() const { return testsWindow_.get(); }
    TdmRecorder* Recorder() const { return recorder_.get(); }
    TCAudioRecorder* AudioRecorder() const { return micRec_.get(); }
    TCallCompletion* Completion() const { return completion_.get(); }
    TStorageRuns* StorageRuns() const { return storageRuns_.get(); }
    TCallListPrinting* Printing() const { return printing_.get(); }
    // The logger grid's columns: title, field, width.
    static std::vector<TDatasetModel::Column> LoggerColumns();

private:
    // The search page's criteria, its grid and the search itself.
    void SetUpSearch();
    // The grid's current row is the dataset's current record, and the file actions follow it.
    void FollowCurrentRow(QAbstractItemView* grid, TVolgaDataset& dataset);
    // The alarms, their table's view and the Alarms page's buttons.
    void SetUpAlarms();

    QStringList args_;
    std::unique_ptr<TMessageBoxes> messageBoxes_;
    std::unique_ptr<TEventLog> log_;
    std::unique_ptr<TMainController> controller_;
    std::unique_ptr<TfmPelmUsb> main_;
    std::unique_ptr<TfmLog> logWindow_;
    std::unique_ptr<TfmPelmorantDB> db_;
    std::unique_ptr<TfmCallsDbWindow> dbWindow_;
    std::unique_ptr<TLoggerModel> loggerModel_;
    std::unique_ptr<TSearchModel> searchModel_;
    std::unique_ptr<TCallSearch> search_;
    std::unique_ptr<TAlarms> alarms_;
    std::unique_ptr<TAlarmMailer> mailer_;
    std::unique_ptr<TfmTestPelmorant> testsWindow_;
    std::unique_ptr<TDatasetModel> alarmsModel_;
    std::unique_ptr<TTreeController> tree_;
    std::unique_ptr<TFilteredNumbers> filtered_;
    std::unique_ptr<TfmConfig> config_;
    std::unique_ptr<TfmFilterNums> filterNums_;
    std::unique_ptr<TfmNewPassword> newPassword_;
    std::unique_ptr<TfmPassProtection> passProtection_;
    std::unique_ptr<IMixer> mixer_;
    std::unique_ptr<TCAudioRecorder> micRec_;
    std::unique_ptr<TStorageRuns> storageRuns_;
    std::unique_ptr<TCallCompletion> completion_;
    std::unique_ptr<TdmRecorder> recorder_;
    std::unique_ptr<TDbBackupSchedule> dbBackups_;
    // What the main window's commands reach.
    std::unique_ptr<TTreeFeature> treeFeature_;
    std::unique_ptr<TSupervisionFeature> supervisionFeature_;
    std::unique_ptr<TRecorderFeature> recorderFeature_;
    std::unique_ptr<TCallGridsFeature> gridsFeature_;
    std::unique_ptr<TCallExport> callExport_;
    std::unique_ptr<TFileActions> fileActions_;
    std::unique_ptr<TCallListPrinting> printing_;
    std::unique_ptr<TFileActionsFeature> fileActionsFeature_;
    std::unique_ptr<TQtWaveOutput> waveOutput_;
    std::unique_ptr<TPlayer> player_;
    std::unique_ptr<TPlayerFeature> playerFeature_;
};
