// The configuration window: the pages over the live settings and the channel table. It only
// shows and edits them; loading and storing are the configuration store's.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "TConfigStore.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimeEdit;
class QToolButton;
class TLedImage;
class TPieChart;
class TSpinEdit;
struct Tchannel;

class TfmConfig : public QDialog {
    Q_OBJECT
public:
    TfmConfig(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
              TVolgaTable* channelsTable, QWidget* parent = nullptr);
    ~TfmConfig() override;  // FormDestroy

    TConfigStore& Store() { return store_; }

    // What the other windows lend the pages; an unset hook leaves its button without effect.
    std::function<void(int direction)> OpenFilterList;  // 0 inbound, 1 outbound
    std::function<void(int kind)> AskNewPassword;       // 1 administrator, 2 access
    std::function<void()> TestServer;
    // Folder and program pickers: the chosen path, or empty when cancelled.
    std::function<QString(const QString& start)> PickFolder;
    std::function<QString(const QString& start)> PickExecutable;

    // Shows the dialog modally (FormShow runs as it appears).
    int Execute();

    // Lifecycle.
    void FormCreate();
    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void FormDestroy();

    // Channels page.
    void lbxChannelsClick();
    void btnStartClick();
    void btnStopClick();
    void spnRunOnExit(qint64 typed);
    void spnRecGainExit(qint64 typed);
    void spnPlayGainExit(qint64 typed);
    // General settings page.
    void cbxCompressionChange();
    void edtStartChange();
    void edtStopChange();
    void edtStartExit();
    void edtStopExit();
    void cbxTrimDigitsClick();
    void cbExtToolClick();
    void sbExeToolClick();
    // Alarms page.
    void chkSmtpClick();
    // Schedule page; d is the day of the week, 1 Sunday .. 7 Saturday.
    void lbxChannelsSchedClick();
    void cbxDayClick(int d);
    void cbxFullClick(int d);
    void StartChange(int d);
    void StopChange(int d);
    // Medium management page.
    void chkRecycleHddClick();
    void btnBackupFolderClick();
    // Storage page.
    void btnFolderClick();
    void speMainStorageCapChange();
    // Filters page.
    void cbxInboundFilterClick();
    void cbxOutboundFilterClick();
    void btnInListClick();
    void btnOutListClick();
    // Security page: a check going on asks for the new password first.
    void cbxAdminPassClick();
    void cbxAccessPassClick();
    void btnChangeAdmClick();
    void btnChangeAccClick();
    void chkBackupDbClick();

    bool SchedulePageLoading = false;

    // The controls, named as the live settings they show.
    QTabWidget* PageControl = nullptr;
    QWidget *tsChannels, *tsGeneral, *tsAlarms, *tsOperation, *tsBackup, *tsStorage, *tsFilters,
        *tsSecurity;
    QPushButton *btnOk, *btnCancel;
    // Channels.
    QListWidget* lbxChannels;
    QLabel* lbChannelType;
    QLineEdit* edtTag;
    QPushButton *btnStart, *btnStop;
    TLedImage* Led1;
    QRadioButton *rbVox, *rbVoltage, *rbOndemand;
    QSpinBox* spnLevelOn;
    TSpinEdit *spnRunOn, *spnRecGain, *spnPlayGain;
    QSpinBox* spnDtrmVol;
    QCheckBox* cbxAgc;
    // General settings.
    QComboBox *cbxCompression, *cbxRecordCalls;
    QLineEdit *edtStart, *edtStop;
    QCheckBox *cbxStartup, *cbxPostByDate, *cbxSaveCallerName, *cbxTrimDigits;
    QLineEdit* edtTrimDigits;
    QGroupBox* rdExportFormat;
    QButtonGroup* rdExportFormatItems;
    QCheckBox* cbExtTool;
    QLineEdit *edtToolCaption, *edtToolComline;
    QLabel* stxExe;
    QToolButton* sbExeTool;
    // Alarms.
    QCheckBox *chkHardwareAl, *chkHddFullAl, *chkCalloverAl, *chkSoftErrorAl, *chkThreadAl,
        *chkAudioAlarm, *chkSmtp;
    QSpinBox *spnCallOvertime, *spnAlarmDuration;
    QLineEdit *edtServerName, *edtSmtpUserID, *edtRecipient1, *edtRecipient2, *edtRecipient3;
    QPushButton* btnTestServer;
    // Schedule, indexed by day of the week (slot 0 unused).
    QListWidget* lbxChannelsSched;
    QCheckBox* cbxDay[8] = {};
    QTimeEdit* Start[8] = {};
    QTimeEdit* Stop[8] = {};
    QCheckBox* cbxFull[8] = {};
    // Medium management.
    QCheckBox* chkRecycleHdd;
    QSpinBox* speBackupCap;
    QLineEdit* edtbackupFolder;
    QPushButton* btnBackupFolder;
    QComboBox* cbxDrive1;
    // Storage.
    QLineEdit* edtFolder;
    QPushButton* btnFolder;
    QSpinBox* speMainStorageCap;
    QLabel *lbUsed, *lbFree;
    TPieChart* Chart1;
    // Filters.
    QCheckBox *cbxInboundFilter, *cbxOutboundFilter;
    QSpinBox *spnInboundTime, *spnOutboundTime;
    QPushButton *btnInList, *btnOutList;
    // Security.
    QCheckBox *cbxAdminPass, *cbxAccessPass;
    QPushButton *btnChangeAdm, *btnChangeAcc;
    QCheckBox* chkBackupDb;
    QSpinBox* speBackupdb;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void BuildChannelsPage();
    void BuildGeneralPage();
    void BuildAlarmsPage();
    void BuildSchedulePage();
    void BuildBackupPage();
    void BuildStoragePage();
    void BuildFiltersPage();
    void BuildSecurityPage();
    void BindLiveSettings();
    void FillChannelLists();
    void SettingsToControls();
    void ShowStoragePage();
    void UpdateStorageFigures();
    void ShowOperation(bool on);
    void ApplyDayRules(int d);
    void SwitchPassword(QCheckBox* box, QPushButton* change, bool& live, int kind);
    Tchannel* SelectedChannel();
    Tchannel* SelectedScheduleChannel();
    QString PickFolderAt(const QString& start);

    TConfigStore store_;
    TLiveSettings& settings_;
    TChannelTable& channels_;
    bool syncing_ = false;          // controls being filled from the settings
    bool channelLoading_ = false;   // Channels page being filled from a channel
    int capacityMaximum_ = 0;
};
