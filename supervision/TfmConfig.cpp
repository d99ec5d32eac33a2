#include "TfmConfig.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "SupervisionTexts.h"
#include "TConfigAlarmsPage.h"
#include "TConfigBackupPage.h"
#include "TConfigChannelsPage.h"
#include "TConfigFiltersPage.h"
#include "TConfigGeneralPage.h"
#include "TConfigSchedulePage.h"
#include "TConfigSecurityPage.h"
#include "TConfigStoragePage.h"
#include "TMessages.h"

namespace T = SupervisionTexts;

TfmConfig::TfmConfig(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
                     TVolgaTable* channelsTable, QWidget* parent)
    : QDialog(parent), session_(globals, settings, channels, channelsTable) {
    setObjectName("fmConfig");
    setWindowTitle(T::kConfigCaption);
    setModal(true);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl1");
    AddPages();
    btnOk = new QPushButton(T::kOk, this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton(T::kCancel, this);
    btnCancel->setObjectName("btnCancel");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfmConfig::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmConfig::btnCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* root = new QVBoxLayout(this);
    root->addWidget(PageControl);
    root->addLayout(buttons);
    root->setSizeConstraint(QLayout::SetFixedSize);
    PageControl->setMinimumWidth(PageControl->tabBar()->sizeHint().width() + 8);

    LendHooks();
    NameControls();
    PickFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, T::kSelectFolder, start);
    };
    PickExecutable = [this](const QString& start) {
        return QFileDialog::getOpenFileName(this, QString(), start);
    };
}

TfmConfig::~TfmConfig() {
    FormDestroy();
}

void TfmConfig::AddPages() {
    channelsPage_ = new TConfigChannelsPage(session_);
    generalPage_ = new TConfigGeneralPage(session_);
    alarmsPage_ = new TConfigAlarmsPage(session_);
    schedulePage_ = new TConfigSchedulePage(session_);
    backupPage_ = new TConfigBackupPage(session_);
    storagePage_ = new TConfigStoragePage(session_);
    filtersPage_ = new TConfigFiltersPage(session_);
    securityPage_ = new TConfigSecurityPage(session_);
    PageControl->addTab(tsChannels = channelsPage_, T::kTabChannels);
    PageControl->addTab(tsGeneral = generalPage_, T::kTabGeneral);
    PageControl->addTab(tsAlarms = alarmsPage_, T::kTabAlarms);
    PageControl->addTab(tsOperation = schedulePage_, T::kTabSchedule);
    PageControl->addTab(tsBackup = backupPage_, T::kTabBackup);
    PageControl->addTab(tsStorage = storagePage_, T::kTabStorage);
    PageControl->addTab(tsFilters = filtersPage_, T::kTabFilters);
    PageControl->addTab(tsSecurity = securityPage_, T::kTabSecurity);
}

// The pages call the hooks the program (or a test) has set on the window at the time.
void TfmConfig::LendHooks() {
    auto picker = [this](std::function<QString(const QString&)> TfmConfig::*hook) {
        return [this, hook](const QString& start) {
            return this->*hook ? (this->*hook)(start) : QString();
        };
    };
    generalPage_->PickExecutable = picker(&TfmConfig::PickExecutable);
    backupPage_->PickFolder = picker(&TfmConfig::PickFolder);
    storagePage_->PickFolder = picker(&TfmConfig::PickFolder);
    filtersPage_->OpenFilterList = [this](int direction) {
        if (OpenFilterList) OpenFilterList(direction);
    };
    alarmsPage_->TestServer = [this] {
        if (TestServer) TestServer();
    };
    session_.AskNewPassword = [this](TConfigSession::PasswordKind kind) {
        if (!AskNewPassword) return false;  // no password window: it cannot be switched on
        AskNewPassword(kind);
        return true;
    };
}

void TfmConfig::NameControls() {
    const TConfigChannelsPage& ch = *channelsPage_;
    lbxChannels = ch.lbxChannels;
    edtTag = ch.edtTag;
    btnStart = ch.btnStart;
    btnStop = ch.btnStop;
    Led1 = ch.Led1;
    rbVox = ch.rbVox;
    spnLevelOn = ch.spnLevelOn;
    spnRunOn = ch.spnRunOn;
    spnRecGain = ch.spnRecGain;
    spnPlayGain = ch.spnPlayGain;
    const TConfigGeneralPage& ge = *generalPage_;
    cbxCompression = ge.cbxCompression;
    cbxRecordCalls = ge.cbxRecordCalls;
    edtStart = ge.edtStart;
    edtStop = ge.edtStop;
    cbxStartup = ge.cbxStartup;
    cbxPostByDate = ge.cbxPostByDate;
    cbxTrimDigits = ge.cbxTrimDigits;
    edtTrimDigits = ge.edtTrimDigits;
    rdExportFormatItems = ge.rdExportFormatItems;
    cbExtTool = ge.cbExtTool;
    edtToolCaption = ge.edtToolCaption;
    stxExe = ge.stxExe;
    sbExeTool = ge.sbExeTool;
    const TConfigAlarmsPage& al = *alarmsPage_;
    chkSmtp = al.chkSmtp;
    spnCallOvertime = al.spnCallOvertime;
    edtServerName = al.edtServerName;
    edtSmtpUserID = al.edtSmtpUserID;
    edtRecipient2 = al.edtRecipient2;
    edtRecipient3 = al.edtRecipient3;
    btnTestServer = al.btnTestServer;
    const TConfigSchedulePage& sc = *schedulePage_;
    lbxChannelsSched = sc.lbxChannelsSched;
    std::copy(std::begin(sc.cbxDay), std::end(sc.cbxDay), cbxDay);
    std::copy(std::begin(sc.Start), std::end(sc.Start), Start);
    std::copy(std::begin(sc.Stop), std::end(sc.Stop), Stop);
    std::copy(std::begin(sc.cbxFull), std::end(sc.cbxFull), cbxFull);
    chkRecycleHdd = backupPage_->chkRecycleHdd;
    speBackupCap = backupPage_->speBackupCap;
    edtbackupFolder = backupPage_->edtbackupFolder;
    btnBackupFolder = backupPage_->btnBackupFolder;
    edtFolder = storagePage_->edtFolder;
    btnFolder = storagePage_->btnFolder;
    speMainStorageCap = storagePage_->speMainStorageCap;
    lbUsed = storagePage_->lbUsed;
    lbFree = storagePage_->lbFree;
    Chart1 = storagePage_->Chart1;
    cbxInboundFilter = filtersPage_->cbxInboundFilter;
    spnInboundTime = filtersPage_->spnInboundTime;
    spnOutboundTime = filtersPage_->spnOutboundTime;
    btnInList = filtersPage_->btnInList;
    btnOutList = filtersPage_->btnOutList;
    cbxAdminPass = securityPage_->cbxAdminPass;
    cbxAccessPass = securityPage_->cbxAccessPass;
    btnChangeAdm = securityPage_->btnChangeAdm;
    btnChangeAcc = securityPage_->btnChangeAcc;
    chkBackupDb = securityPage_->chkBackupDb;
    speBackupdb = securityPage_->speBackupdb;
}

// ---------------------------------------------------------------------------------------------
// Lifecycle

void TfmConfig::FormCreate() {
    move(session_.Store().DialogPosition());
    session_.Load();
    channelsPage_->FillChannelList();
    schedulePage_->FillChannelList();
    ShowSettings();
}

// The settings pages; the two channel pages are filled from the selected channels at a show.
void TfmConfig::ShowSettings() {
    generalPage_->ShowSettings();
    alarmsPage_->ShowSettings();
    backupPage_->ShowSettings();
    storagePage_->ShowSettings();
    filtersPage_->ShowSettings();
    securityPage_->ShowSettings();
}

int TfmConfig::Execute() {
    return exec();
}

void TfmConfig::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfmConfig::FormShow() {
    PageControl->setCurrentWidget(tsChannels);
    session_.Begin();
    channelsPage_->ShowSettings();
    schedulePage_->ShowSettings();
    ShowSettings();
}

void TfmConfig::btnOkClick() {
    QString error;
    try {
        if (!session_.Ok(&error)) ShowMessage(T::kSettingsNotSaved + error);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        return;  // the table refused: the dialog stays open
    }
    ShowSettings();
    accept();
}

void TfmConfig::btnCancelClick() {
    try {
        session_.Cancel();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
    reject();
}

void TfmConfig::FormDestroy() {
    session_.Store().SaveDialogPosition(pos());
}
