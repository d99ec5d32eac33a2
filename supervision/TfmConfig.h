// The configuration window: the eight pages over one editing session, with Ok and Cancel. It
// only composes the pages and runs the session's lifecycle; the rules are the session's, and
// loading and storing are the configuration store's.
#pragma once

#include <QDialog>
#include <functional>

#include "TConfigSession.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimeEdit;
class QToolButton;
class TConfigAlarmsPage;
class TConfigBackupPage;
class TConfigChannelsPage;
class TConfigFiltersPage;
class TConfigGeneralPage;
class TConfigSchedulePage;
class TConfigSecurityPage;
class TConfigStoragePage;
class TLedImage;
class TPieChart;
class TSpinEdit;

class TfmConfig : public QDialog {
    Q_OBJECT
public:
    TfmConfig(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
              TVolgaTable* channelsTable, QWidget* parent = nullptr);
    ~TfmConfig() override;  // FormDestroy

    TConfigSession& Session() { return session_; }
    TConfigStore& Store() { return session_.Store(); }

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

    // The pages, in tab order.
    QTabWidget* PageControl = nullptr;
    QWidget *tsChannels, *tsGeneral, *tsAlarms, *tsOperation, *tsBackup, *tsStorage, *tsFilters,
        *tsSecurity;
    QPushButton *btnOk, *btnCancel;

    // The pages' controls under their own names, as the tests reach them.
    QListWidget* lbxChannels;
    QLineEdit* edtTag;
    QPushButton *btnStart, *btnStop;
    TLedImage* Led1;
    QRadioButton* rbVox;
    QSpinBox* spnLevelOn;
    TSpinEdit *spnRunOn, *spnRecGain, *spnPlayGain;
    QComboBox *cbxCompression, *cbxRecordCalls;
    QLineEdit *edtStart, *edtStop;
    QCheckBox *cbxStartup, *cbxPostByDate, *cbxTrimDigits;
    QLineEdit* edtTrimDigits;
    QButtonGroup* rdExportFormatItems;
    QCheckBox* cbExtTool;
    QLineEdit* edtToolCaption;
    QLabel* stxExe;
    QToolButton* sbExeTool;
    QCheckBox* chkSmtp;
    QSpinBox* spnCallOvertime;
    QLineEdit *edtServerName, *edtSmtpUserID, *edtRecipient2, *edtRecipient3;
    QPushButton* btnTestServer;
    QListWidget* lbxChannelsSched;
    QCheckBox* cbxDay[8] = {};
    QTimeEdit* Start[8] = {};
    QTimeEdit* Stop[8] = {};
    QCheckBox* cbxFull[8] = {};
    QCheckBox* chkRecycleHdd;
    QSpinBox* speBackupCap;
    QLineEdit* edtbackupFolder;
    QPushButton* btnBackupFolder;
    QLineEdit* edtFolder;
    QPushButton* btnFolder;
    QSpinBox* speMainStorageCap;
    QLabel *lbUsed, *lbFree;
    TPieChart* Chart1;
    QCheckBox* cbxInboundFilter;
    QSpinBox *spnInboundTime, *spnOutboundTime;
    QPushButton *btnInList, *btnOutList;
    QCheckBox *cbxAdminPass, *cbxAccessPass;
    QPushButton *btnChangeAdm, *btnChangeAcc;
    QCheckBox* chkBackupDb;
    QSpinBox* speBackupdb;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void AddPages();
    void LendHooks();
    void NameControls();
    // Every page from the session.
    void ShowSettings();

    TConfigSession session_;
    TConfigChannelsPage* channelsPage_;
    TConfigGeneralPage* generalPage_;
    TConfigAlarmsPage* alarmsPage_;
    TConfigSchedulePage* schedulePage_;
    TConfigBackupPage* backupPage_;
    TConfigStoragePage* storagePage_;
    TConfigFiltersPage* filtersPage_;
    TConfigSecurityPage* securityPage_;
};
