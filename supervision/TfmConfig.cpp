#include "TfmConfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "SupervisionTexts.h"
#include "TChannelTable.h"
#include "TLedImage.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TPictures.h"
#include "TPieChart.h"
#include "TSpinEdit.h"
#include "TVolumeSpace.h"
#include "Tchannel.h"

namespace T = SupervisionTexts;

namespace {

// Rows of the schedule page: Monday first, Sunday last.
constexpr int kScheduleRows[7] = {2, 3, 4, 5, 6, 7, 1};
const char* const kDayCaptions[8] = {"",         "Sunday", "Monday", "Tuesday",
                                     "Wensday",  "Thursday", "Friday", "Saturday"};

template <class W>
W* Named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

QSpinBox* Spin(QWidget* parent, const QString& name, int min, int max, int step = 1) {
    auto* s = Named(new QSpinBox(parent), name);
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

TSpinEdit* SpinEdit(QWidget* parent, const QString& name, int min, int max, int step = 1) {
    auto* s = Named(new TSpinEdit(parent), name);
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

QTime TimeOf(TDateTime v) {
    double frac = std::fabs(v - std::trunc(v));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

TDateTime DateTimeOf(const QTime& t) { return t.msecsSinceStartOfDay() / 86400000.0; }

}  // namespace

TfmConfig::TfmConfig(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
                     TVolgaTable* channelsTable, QWidget* parent)
    : QDialog(parent), store_(globals, settings, channels, channelsTable), settings_(settings),
      channels_(channels) {
    setObjectName("fmConfig");
    setWindowTitle(T::kConfigCaption);
    setModal(true);

    PageControl = Named(new QTabWidget(this), "PageControl1");
    BuildChannelsPage();
    BuildGeneralPage();
    BuildAlarmsPage();
    BuildSchedulePage();
    BuildBackupPage();
    BuildStoragePage();
    BuildFiltersPage();
    BuildSecurityPage();

    btnOk = Named(new QPushButton(T::kOk, this), "btnOk");
    btnCancel = Named(new QPushButton(T::kCancel, this), "btnCancel");
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

    BindLiveSettings();
    PickFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, T::kSelectFolder, start);
    };
    PickExecutable = [this](const QString& start) {
        return QFileDialog::getOpenFileName(this, QString(), start);
    };
}

TfmConfig::~TfmConfig() { FormDestroy(); }

// ---------------------------------------------------------------------------------------------
// Pages

void TfmConfig::BuildChannelsPage() {
    tsChannels = Named(new QWidget, "tsChannels");
    PageControl->addTab(tsChannels, T::kTabChannels);
    lbxChannels = Named(new QListWidget(tsChannels), "lbxChannels");
    lbxChannels->setFixedWidth(110);
    lbChannelType = Named(new QLabel(tsChannels), "lbChannelType");
    edtTag = Named(new QLineEdit(tsChannels), "edtTag");
    edtTag->setMaxLength(TConfigStore::kTagLength);
    btnStart = Named(new QPushButton("Start", tsChannels), "btnStart");
    btnStop = Named(new QPushButton("Stop", tsChannels), "btnStop");
    Led1 = Named(new TLedImage(tsChannels), "Led1");
    rbVox = Named(new QRadioButton("Vox", tsChannels), "rbVox");
    rbVoltage = Named(new QRadioButton("Voltage", tsChannels), "rbVoltage");
    rbOndemand = Named(new QRadioButton("On demand", tsChannels), "rbOndemand");
    spnLevelOn = Spin(tsChannels, "spnLevelOn", 0, 31);
    spnRunOn = SpinEdit(tsChannels, "spnRunOn", 1000, 100000, 500);
    spnRecGain = SpinEdit(tsChannels, "spnRecGain", -6, 6);
    spnPlayGain = SpinEdit(tsChannels, "spnPlayGain", -6, 6);
    spnDtrmVol = Spin(tsChannels, "spnDtrmVol", 1, 80);
    cbxAgc = Named(new QCheckBox("Automatic gain control", tsChannels), "cbxAgc");

    auto* trigger = new QGroupBox("Trigger", tsChannels);
    auto* tl = new QVBoxLayout(trigger);
    tl->addWidget(rbVox);
    tl->addWidget(rbVoltage);
    tl->addWidget(rbOndemand);
    auto* form = new QFormLayout;
    form->addRow("Type", lbChannelType);
    form->addRow("Tag", edtTag);
    auto* op = new QHBoxLayout;
    op->addWidget(btnStart);
    op->addWidget(btnStop);
    op->addWidget(Led1);
    form->addRow("Operation", op);
    form->addRow("Level on", spnLevelOn);
    form->addRow("Run on", spnRunOn);
    form->addRow("Recording", spnRecGain);
    form->addRow("Play", spnPlayGain);
    form->addRow("Voltage threshold", spnDtrmVol);
    form->addRow(cbxAgc);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(trigger);
    right->addStretch();
    auto* l = new QHBoxLayout(tsChannels);
    l->addWidget(lbxChannels);
    l->addLayout(right);

    connect(lbxChannels, &QListWidget::currentRowChanged, this, [this] { lbxChannelsClick(); });
    connect(btnStart, &QPushButton::clicked, this, &TfmConfig::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfmConfig::btnStopClick);
    connect(spnRunOn, &TSpinEdit::outOfRange, this, &TfmConfig::spnRunOnExit);
    connect(spnRecGain, &TSpinEdit::outOfRange, this, &TfmConfig::spnRecGainExit);
    connect(spnPlayGain, &TSpinEdit::outOfRange, this, &TfmConfig::spnPlayGainExit);

    // Every edit goes at once into the selected channel's record.
    auto live = [this](auto apply) {
        return [this, apply](auto&&...) {
            if (channelLoading_) return;
            if (Tchannel* c = SelectedChannel()) apply(*c);
        };
    };
    connect(edtTag, &QLineEdit::textChanged, this,
            live([this](Tchannel& c) { c.Tag = TConfigStore::CutTag(edtTag->text()); }));
    connect(rbVox, &QRadioButton::toggled, this, live([this](Tchannel& c) {
                if (rbVox->isChecked()) c.Trigger = 0;
            }));
    connect(rbVoltage, &QRadioButton::toggled, this, live([this](Tchannel& c) {
                if (rbVoltage->isChecked()) c.Trigger = 1;
            }));
    connect(rbOndemand, &QRadioButton::toggled, this, live([this](Tchannel& c) {
                if (rbOndemand->isChecked()) c.Trigger = 2;
            }));
    connect(spnLevelOn, &QSpinBox::valueChanged, this,
            live([this](Tchannel& c) { c.LevelOn = spnLevelOn->value(); }));
    connect(spnRunOn, &QSpinBox::valueChanged, this,
            live([this](Tchannel& c) { c.RunOn = spnRunOn->value(); }));
    connect(spnRecGain, &QSpinBox::valueChanged, this,
            live([this](Tchannel& c) { c.RecordingGain = spnRecGain->value(); }));
    connect(spnPlayGain, &QSpinBox::valueChanged, this,
            live([this](Tchannel& c) { c.PlayGain = spnPlayGain->value(); }));
    connect(spnDtrmVol, &QSpinBox::valueChanged, this,
            live([this](Tchannel& c) { c.DtrmVoltage = spnDtrmVol->value(); }));
    connect(cbxAgc, &QCheckBox::toggled, this, live([this](Tchannel& c) { c.Agc = cbxAgc->isChecked(); }));
}

void TfmConfig::BuildGeneralPage() {
    tsGeneral = Named(new QWidget, "tsGeneral");
    PageControl->addTab(tsGeneral, T::kTabGeneral);
    cbxCompression = Named(new QComboBox(tsGeneral), "cbxCompression");
    cbxCompression->addItems({"a-Law", "u-Law", "IMA ADPCM", "GSM", "MP3"});
    cbxRecordCalls = Named(new QComboBox(tsGeneral), "cbxRecordCalls");
    cbxRecordCalls->addItems({"Incoming", "Outgoing", "All", "SMDR"});
    edtStart = Named(new QLineEdit(tsGeneral), "edtStart");
    edtStop = Named(new QLineEdit(tsGeneral), "edtStop");
    cbxStartup = Named(new QCheckBox(T::kLoadAtStartup, tsGeneral), "cbxStartup");
    cbxPostByDate = Named(new QCheckBox(T::kCreateNodesPerDate, tsGeneral), "cbxPostByDate");
    cbxSaveCallerName = Named(new QCheckBox(T::kSaveCallerName, tsGeneral), "cbxSaveCallerName");
    cbxTrimDigits = Named(new QCheckBox(T::kTrimLeadingDigits, tsGeneral), "cbxTrimDigits");
    edtTrimDigits = Named(new QLineEdit(tsGeneral), "edtTrimDigits");
    rdExportFormat = Named(new QGroupBox("Export format", tsGeneral), "rdExportFormat");
    rdExportFormatItems = new QButtonGroup(this);
    auto* ef = new QVBoxLayout(rdExportFormat);
    const char* formats[] = {"Tab delimited", "Comma delimmited", "Semicolon delimited", "XML"};
    for (int i = 0; i < 4; ++i) {
        auto* rb = new QRadioButton(formats[i], rdExportFormat);
        rdExportFormatItems->addButton(rb, i);
        ef->addWidget(rb);
    }
    cbExtTool = Named(new QCheckBox("External tool", tsGeneral), "cbExtTool");
    edtToolCaption = Named(new QLineEdit(tsGeneral), "edtToolCaption");
    edtToolComline = Named(new QLineEdit(tsGeneral), "edtToolComline");
    stxExe = Named(new QLabel(tsGeneral), "stxExe");
    stxExe->setFrameShape(QFrame::StyledPanel);
    stxExe->setMinimumWidth(160);
    sbExeTool = Named(new QToolButton(tsGeneral), "sbExeTool");
    sbExeTool->setText("...");

    auto* form = new QFormLayout;
    form->addRow("Compression", cbxCompression);
    form->addRow("Record calls", cbxRecordCalls);
    auto* keys = new QGroupBox("On demand keys", tsGeneral);
    auto* kf = new QFormLayout(keys);
    kf->addRow("Start", edtStart);
    kf->addRow("Stop", edtStop);
    auto* tool = new QGroupBox(tsGeneral);
    auto* tf = new QFormLayout(tool);
    tf->addRow(cbExtTool);
    tf->addRow("Caption", edtToolCaption);
    tf->addRow("Command line", edtToolComline);
    auto* exe = new QHBoxLayout;
    exe->addWidget(stxExe, 1);
    exe->addWidget(sbExeTool);
    tf->addRow("Program", exe);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(keys);
    left->addWidget(cbxStartup);
    left->addWidget(cbxPostByDate);
    left->addWidget(cbxSaveCallerName);
    auto* trim = new QHBoxLayout;
    trim->addWidget(cbxTrimDigits);
    trim->addWidget(edtTrimDigits);
    left->addLayout(trim);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(rdExportFormat);
    right->addWidget(tool);
    right->addStretch();
    auto* l = new QHBoxLayout(tsGeneral);
    l->addLayout(left);
    l->addLayout(right);

    connect(cbxCompression, &QComboBox::currentIndexChanged, this, [this] {
        if (!syncing_) cbxCompressionChange();
    });
    connect(edtStart, &QLineEdit::textChanged, this, [this] { edtStartChange(); });
    connect(edtStop, &QLineEdit::textChanged, this, [this] { edtStopChange(); });
    connect(edtStart, &QLineEdit::editingFinished, this, &TfmConfig::edtStartExit);
    connect(edtStop, &QLineEdit::editingFinished, this, &TfmConfig::edtStopExit);
    connect(cbxTrimDigits, &QCheckBox::clicked, this, &TfmConfig::cbxTrimDigitsClick);
    connect(cbExtTool, &QCheckBox::clicked, this, &TfmConfig::cbExtToolClick);
    connect(sbExeTool, &QToolButton::clicked, this, &TfmConfig::sbExeToolClick);
}

void TfmConfig::BuildAlarmsPage() {
    tsAlarms = Named(new QWidget, "tsAlarms");
    PageControl->addTab(tsAlarms, T::kTabAlarms);
    chkHardwareAl = Named(new QCheckBox("Hardware failure", tsAlarms), "chkHardwareAl");
    chkHddFullAl = Named(new QCheckBox("HDD full", tsAlarms), "chkHddFullAl");
    chkCalloverAl = Named(new QCheckBox("Call overtime", tsAlarms), "chkCalloverAl");
    spnCallOvertime = Spin(tsAlarms, "spnCallOvertime", 1, 600);
    chkSoftErrorAl = Named(new QCheckBox("Software error", tsAlarms), "chkSoftErrorAl");
    chkThreadAl = Named(new QCheckBox("Thread failure", tsAlarms), "chkThreadAl");
    chkAudioAlarm = Named(new QCheckBox("Audio alarm", tsAlarms), "chkAudioAlarm");
    spnAlarmDuration = Spin(tsAlarms, "spnAlarmDuration", 10, 300);
    chkSmtp = Named(new QCheckBox("Enable", tsAlarms), "chkSmtp");
    edtServerName = Named(new QLineEdit(tsAlarms), "edtServerName");
    edtSmtpUserID = Named(new QLineEdit(tsAlarms), "edtSmtpUserID");
    edtRecipient1 = Named(new QLineEdit(tsAlarms), "edtRecipient1");
    edtRecipient2 = Named(new QLineEdit(tsAlarms), "edtRecipient2");
    edtRecipient3 = Named(new QLineEdit(tsAlarms), "edtRecipient3");
    btnTestServer = Named(new QPushButton("Test server", tsAlarms), "btnTestServer");

    auto* alarms = new QGroupBox("Alarms", tsAlarms);
    auto* ag = new QGridLayout(alarms);
    ag->addWidget(chkHardwareAl, 0, 0);
    ag->addWidget(chkHddFullAl, 1, 0);
    ag->addWidget(chkCalloverAl, 2, 0);
    ag->addWidget(spnCallOvertime, 2, 1);
    ag->addWidget(new QLabel("min", alarms), 2, 2);
    ag->addWidget(chkSoftErrorAl, 3, 0);
    ag->addWidget(chkThreadAl, 4, 0);
    ag->addWidget(chkAudioAlarm, 5, 0);
    ag->addWidget(spnAlarmDuration, 5, 1);
    ag->addWidget(new QLabel("sec", alarms), 5, 2);
    auto* mail = new QGroupBox("E-mail", tsAlarms);
    auto* mf = new QFormLayout(mail);
    mf->addRow(chkSmtp);
    mf->addRow("Mail server", edtServerName);
    mf->addRow("User ID", edtSmtpUserID);
    mf->addRow("Recipient 1", edtRecipient1);
    mf->addRow("Recipient 2", edtRecipient2);
    mf->addRow("Recipient 3", edtRecipient3);
    mf->addRow(btnTestServer);
    auto* l = new QHBoxLayout(tsAlarms);
    l->addWidget(alarms);
    l->addWidget(mail);

    connect(chkSmtp, &QCheckBox::clicked, this, &TfmConfig::chkSmtpClick);
    connect(btnTestServer, &QPushButton::clicked, this, [this] {
        if (TestServer) TestServer();
    });
}

void TfmConfig::BuildSchedulePage() {
    tsOperation = Named(new QWidget, "tsOperation");
    PageControl->addTab(tsOperation, T::kTabSchedule);
    lbxChannelsSched = Named(new QListWidget(tsOperation), "lbxChannelsSched");
    lbxChannelsSched->setFixedWidth(110);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(T::kDay, tsOperation), 0, 0);
    grid->addWidget(new QLabel(T::kStartTime, tsOperation), 0, 1);
    grid->addWidget(new QLabel(T::kStopTime, tsOperation), 0, 2);
    grid->addWidget(new QLabel(T::kFullDay, tsOperation), 0, 3);
    for (int row = 0; row < 7; ++row) {
        const int d = kScheduleRows[row];
        const QString n = QString::number(d);
        cbxDay[d] = Named(new QCheckBox(kDayCaptions[d], tsOperation), "cbx" + n);
        Start[d] = Named(new QTimeEdit(tsOperation), "Start" + n);
        Stop[d] = Named(new QTimeEdit(tsOperation), "Stop" + n);
        for (QTimeEdit* t : {Start[d], Stop[d]}) t->setDisplayFormat("HH:mm:ss");
        cbxFull[d] = Named(new QCheckBox(tsOperation), "cbx" + n + "Full");
        grid->addWidget(cbxDay[d], row + 1, 0);
        grid->addWidget(Start[d], row + 1, 1);
        grid->addWidget(Stop[d], row + 1, 2);
        grid->addWidget(cbxFull[d], row + 1, 3, Qt::AlignCenter);
        connect(cbxDay[d], &QCheckBox::toggled, this, [this, d] { cbxDayClick(d); });
        connect(cbxFull[d], &QCheckBox::toggled, this, [this, d] { cbxFullClick(d); });
        connect(Start[d], &QTimeEdit::timeChanged, this, [this, d] { StartChange(d); });
        connect(Stop[d], &QTimeEdit::timeChanged, this, [this, d] { StopChange(d); });
    }
    auto* rows = new QVBoxLayout;
    rows->addLayout(grid);
    rows->addStretch();
    auto* l = new QHBoxLayout(tsOperation);
    l->addWidget(lbxChannelsSched);
    l->addLayout(rows);
    connect(lbxChannelsSched, &QListWidget::currentRowChanged, this,
            [this] { lbxChannelsSchedClick(); });
}

void TfmConfig::BuildBackupPage() {
    tsBackup = Named(new QWidget, "tsBackup");
    PageControl->addTab(tsBackup, T::kTabBackup);
    chkRecycleHdd = Named(new QCheckBox(T::kRecycleHdd, tsBackup), "chkRecycleHdd");
    speBackupCap = Spin(tsBackup, "speBackupCap", 10, 100000);
    edtbackupFolder = Named(new QLineEdit(tsBackup), "edtbackupFolder");
    edtbackupFolder->setReadOnly(true);
    btnBackupFolder = Named(new QPushButton("...", tsBackup), "btnBackupFolder");
    cbxDrive1 = Named(new QComboBox(tsBackup), "cbxDrive1");
    auto* form = new QFormLayout;
    form->addRow(chkRecycleHdd);
    form->addRow("Capacity (Mb)", speBackupCap);
    auto* folder = new QHBoxLayout;
    folder->addWidget(edtbackupFolder, 1);
    folder->addWidget(btnBackupFolder);
    form->addRow("Temporary folder", folder);
    form->addRow("Backup medium", cbxDrive1);
    auto* l = new QVBoxLayout(tsBackup);
    l->addLayout(form);
    l->addStretch();
    connect(chkRecycleHdd, &QCheckBox::clicked, this, &TfmConfig::chkRecycleHddClick);
    connect(btnBackupFolder, &QPushButton::clicked, this, &TfmConfig::btnBackupFolderClick);
}

void TfmConfig::BuildStoragePage() {
    tsStorage = Named(new QWidget, "tsStorage");
    PageControl->addTab(tsStorage, T::kTabStorage);
    edtFolder = Named(new QLineEdit(tsStorage), "edtFolder");
    edtFolder->setReadOnly(true);
    edtFolder->setMinimumWidth(300);
    btnFolder = Named(new QPushButton("...", tsStorage), "btnFolder");
    speMainStorageCap = Spin(tsStorage, "speMainStorageCap", 0, 0);
    lbUsed = Named(new QLabel(tsStorage), "lbUsed");
    lbFree = Named(new QLabel(tsStorage), "lbFree");
    Chart1 = Named(new TPieChart(tsStorage), "Chart1");
    auto* form = new QFormLayout;
    auto* folder = new QHBoxLayout;
    folder->addWidget(edtFolder, 1);
    folder->addWidget(btnFolder);
    form->addRow("Recordings folder", folder);
    form->addRow("Capacity (Mb)", speMainStorageCap);
    form->addRow(lbUsed);
    form->addRow(lbFree);
    auto* l = new QVBoxLayout(tsStorage);
    l->addLayout(form);
    l->addWidget(Chart1, 1);
    connect(btnFolder, &QPushButton::clicked, this, &TfmConfig::btnFolderClick);
    connect(speMainStorageCap, &QSpinBox::valueChanged, this, [this] {
        if (!syncing_) speMainStorageCapChange();
    });
}

void TfmConfig::BuildFiltersPage() {
    tsFilters = Named(new QWidget, "tsFilters");
    PageControl->addTab(tsFilters, T::kTabFilters);
    cbxInboundFilter = Named(new QCheckBox("Inbound calls shorter than", tsFilters), "cbxInboundFilter");
    spnInboundTime = Spin(tsFilters, "spnInboundTime", 0, 100);
    btnInList = Named(new QPushButton("List", tsFilters), "btnInList");
    cbxOutboundFilter = Named(new QCheckBox("Outbound calls shorter than", tsFilters), "cbxOutboundFilter");
    spnOutboundTime = Spin(tsFilters, "spnOutboundTime", 0, 100);
    btnOutList = Named(new QPushButton("List", tsFilters), "btnOutList");
    auto* g = new QGridLayout;
    g->addWidget(cbxInboundFilter, 0, 0);
    g->addWidget(spnInboundTime, 0, 1);
    g->addWidget(new QLabel("sec", tsFilters), 0, 2);
    g->addWidget(btnInList, 0, 3);
    g->addWidget(cbxOutboundFilter, 1, 0);
    g->addWidget(spnOutboundTime, 1, 1);
    g->addWidget(new QLabel("sec", tsFilters), 1, 2);
    g->addWidget(btnOutList, 1, 3);
    auto* l = new QVBoxLayout(tsFilters);
    l->addLayout(g);
    l->addStretch();
    connect(cbxInboundFilter, &QCheckBox::clicked, this, &TfmConfig::cbxInboundFilterClick);
    connect(cbxOutboundFilter, &QCheckBox::clicked, this, &TfmConfig::cbxOutboundFilterClick);
    connect(btnInList, &QPushButton::clicked, this, &TfmConfig::btnInListClick);
    connect(btnOutList, &QPushButton::clicked, this, &TfmConfig::btnOutListClick);
}

void TfmConfig::BuildSecurityPage() {
    tsSecurity = Named(new QWidget, "tsSecurity");
    PageControl->addTab(tsSecurity, T::kTabSecurity);
    auto* group = new QGroupBox(T::kPasswordsGroup, tsSecurity);
    cbxAdminPass = Named(new QCheckBox(T::kAdministrator, group), "cbxAdminPass");
    btnChangeAdm = Named(new QPushButton(T::kChange, group), "btnChangeAdm");
    cbxAccessPass = Named(new QCheckBox(T::kAccess, group), "cbxAccessPass");
    btnChangeAcc = Named(new QPushButton(T::kChange, group), "btnChangeAcc");
    auto* g = new QGridLayout(group);
    g->addWidget(cbxAdminPass, 0, 0);
    g->addWidget(btnChangeAdm, 0, 1);
    g->addWidget(cbxAccessPass, 1, 0);
    g->addWidget(btnChangeAcc, 1, 1);
    chkBackupDb = Named(new QCheckBox(T::kKeepDbCopy, tsSecurity), "chkBackupDb");
    speBackupdb = Spin(tsSecurity, "speBackupdb", 1, 30);
    auto* db = new QHBoxLayout;
    db->addWidget(chkBackupDb);
    db->addWidget(speBackupdb);
    db->addWidget(new QLabel("days", tsSecurity));
    db->addStretch();
    auto* l = new QVBoxLayout(tsSecurity);
    l->addWidget(group);
    l->addLayout(db);
    l->addStretch();
    connect(cbxAdminPass, &QCheckBox::clicked, this, &TfmConfig::cbxAdminPassClick);
    connect(cbxAccessPass, &QCheckBox::clicked, this, &TfmConfig::cbxAccessPassClick);
    connect(btnChangeAdm, &QPushButton::clicked, this, &TfmConfig::btnChangeAdmClick);
    connect(btnChangeAcc, &QPushButton::clicked, this, &TfmConfig::btnChangeAccClick);
    connect(chkBackupDb, &QCheckBox::clicked, this, &TfmConfig::chkBackupDbClick);
}

// Plain controls write their live setting at every change (not while being filled).
void TfmConfig::BindLiveSettings() {
    TLiveSettings* s = &settings_;
    auto check = [this, s](QCheckBox* box, bool TLiveSettings::*m) {
        connect(box, &QCheckBox::toggled, this, [this, s, m](bool on) {
            if (!syncing_) s->*m = on;
        });
    };
    auto spin = [this, s](QSpinBox* box, int TLiveSettings::*m) {
        connect(box, &QSpinBox::valueChanged, this, [this, s, m](int v) {
            if (!syncing_) s->*m = v;
        });
    };
    auto edit = [this, s](QLineEdit* e, QString TLiveSettings::*m) {
        connect(e, &QLineEdit::textChanged, this, [this, s, m](const QString& t) {
            if (!syncing_) s->*m = t;
        });
    };
    check(cbxStartup, &TLiveSettings::cbxStartup);
    check(cbxPostByDate, &TLiveSettings::cbxPostByDate);
    check(cbxSaveCallerName, &TLiveSettings::cbxSaveCallerName);
    check(cbxTrimDigits, &TLiveSettings::cbxTrimDigits);
    check(cbExtTool, &TLiveSettings::cbExtTool);
    check(chkHardwareAl, &TLiveSettings::chkHardwareAl);
    check(chkHddFullAl, &TLiveSettings::chkHddFullAl);
    check(chkCalloverAl, &TLiveSettings::chkCalloverAl);
    check(chkSoftErrorAl, &TLiveSettings::chkSoftErrorAl);
    check(chkThreadAl, &TLiveSettings::chkThreadAl);
    check(chkAudioAlarm, &TLiveSettings::chkAudioAlarm);
    check(chkSmtp, &TLiveSettings::chkSmtp);
    check(chkRecycleHdd, &TLiveSettings::chkRecycleHdd);
    check(cbxInboundFilter, &TLiveSettings::cbxInboundFilter);
    check(cbxOutboundFilter, &TLiveSettings::cbxOutboundFilter);
    check(chkBackupDb, &TLiveSettings::chkBackupDb);
    spin(spnCallOvertime, &TLiveSettings::spnCallOvertime);
    spin(spnAlarmDuration, &TLiveSettings::spnAlarmDuration);
    spin(speBackupCap, &TLiveSettings::speBackupCap);
    spin(spnInboundTime, &TLiveSettings::spnInboundTime);
    spin(spnOutboundTime, &TLiveSettings::spnOutboundTime);
    spin(speBackupdb, &TLiveSettings::speBackupdb);
    edit(edtTrimDigits, &TLiveSettings::edtTrimDigits);
    edit(edtToolCaption, &TLiveSettings::edtToolCaption);
    edit(edtToolComline, &TLiveSettings::edtToolComline);
    edit(edtServerName, &TLiveSettings::edtServerName);
    edit(edtSmtpUserID, &TLiveSettings::edtSmtpUserID);
    edit(edtRecipient1, &TLiveSettings::edtRecipient1);
    edit(edtRecipient2, &TLiveSettings::edtRecipient2);
    edit(edtRecipient3, &TLiveSettings::edtRecipient3);
    connect(cbxRecordCalls, &QComboBox::currentIndexChanged, this, [this, s](int i) {
        if (!syncing_ && i >= 0) s->cbxRecordCalls = i;
    });
    connect(cbxDrive1, &QComboBox::currentIndexChanged, this, [this, s](int i) {
        if (!syncing_ && i >= 0) s->cbxDrive1 = i;
    });
    connect(rdExportFormatItems, &QButtonGroup::idToggled, this, [this, s](int id, bool on) {
        if (!syncing_ && on) s->rdExportFormat = id;
    });
}

// ---------------------------------------------------------------------------------------------
// Lifecycle

void TfmConfig::FormCreate() {
    move(store_.DialogPosition());
    SchedulePageLoading = false;
    store_.Load();
    FillChannelLists();
    SettingsToControls();
}

void TfmConfig::FillChannelLists() {
    const QSignalBlocker b1(lbxChannels), b2(lbxChannelsSched);
    lbxChannels->clear();
    lbxChannelsSched->clear();
    for (int i = 0; i < channels_.Count(); ++i) {
        const QString item = T::kChannelItem + QString::number(channels_[i].Number);
        lbxChannels->addItem(item);
        lbxChannelsSched->addItem(item);
    }
    if (channels_.Count() > 0) {
        lbxChannels->setCurrentRow(0);
        lbxChannelsSched->setCurrentRow(0);
    }
}

int TfmConfig::Execute() { return exec(); }

void TfmConfig::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfmConfig::FormShow() {
    PageControl->setCurrentWidget(tsChannels);
    store_.PrepareShow();
    lbxChannelsClick();
    lbxChannelsSchedClick();
    SettingsToControls();
}

// Every control from the live settings, then the rules that follow the check boxes.
void TfmConfig::SettingsToControls() {
    const TLiveSettings& s = settings_;
    {
        syncing_ = true;
        const int tagItem = TLiveSettings::ItemOfCompressionTag(s.CompressionTag);
        if (tagItem >= 0) cbxCompression->setCurrentIndex(tagItem);
        cbxRecordCalls->setCurrentIndex(s.cbxRecordCalls);
        edtStart->setText(s.edtStart);
        edtStop->setText(s.edtStop);
        cbxStartup->setChecked(s.cbxStartup);
        cbxPostByDate->setChecked(s.cbxPostByDate);
        cbxSaveCallerName->setChecked(s.cbxSaveCallerName);
        cbxTrimDigits->setChecked(s.cbxTrimDigits);
        edtTrimDigits->setText(s.edtTrimDigits);
        if (QAbstractButton* b = rdExportFormatItems->button(s.rdExportFormat)) b->setChecked(true);
        cbExtTool->setChecked(s.cbExtTool);
        edtToolCaption->setText(s.edtToolCaption);
        edtToolComline->setText(s.edtToolComline);
        stxExe->setText(QFileInfo(s.ToolExecutable).fileName());
        chkHardwareAl->setChecked(s.chkHardwareAl);
        chkHddFullAl->setChecked(s.chkHddFullAl);
        chkCalloverAl->setChecked(s.chkCalloverAl);
        spnCallOvertime->setValue(s.spnCallOvertime);
        chkSoftErrorAl->setChecked(s.chkSoftErrorAl);
        chkThreadAl->setChecked(s.chkThreadAl);
        chkAudioAlarm->setChecked(s.chkAudioAlarm);
        spnAlarmDuration->setValue(s.spnAlarmDuration);
        chkSmtp->setChecked(s.chkSmtp);
        edtServerName->setText(s.edtServerName);
        edtSmtpUserID->setText(s.edtSmtpUserID);
        edtRecipient1->setText(s.edtRecipient1);
        edtRecipient2->setText(s.edtRecipient2);
        edtRecipient3->setText(s.edtRecipient3);
        chkRecycleHdd->setChecked(s.chkRecycleHdd);
        speBackupCap->setValue(s.speBackupCap);
        edtbackupFolder->setText(s.edtbackupFolder);
        cbxDrive1->clear();
        cbxDrive1->addItems(TVolumeSpace::Instance().Volumes());
        if (s.cbxDrive1 < cbxDrive1->count()) cbxDrive1->setCurrentIndex(s.cbxDrive1);
        cbxInboundFilter->setChecked(s.cbxInboundFilter);
        spnInboundTime->setValue(s.spnInboundTime);
        cbxOutboundFilter->setChecked(s.cbxOutboundFilter);
        spnOutboundTime->setValue(s.spnOutboundTime);
        cbxAdminPass->setChecked(s.cbxAdminPass);
        cbxAccessPass->setChecked(s.cbxAccessPass);
        chkBackupDb->setChecked(s.chkBackupDb);
        speBackupdb->setValue(s.speBackupdb);
        syncing_ = false;
    }
    ShowStoragePage();
    edtTrimDigits->setEnabled(s.cbxTrimDigits);
    cbExtToolClick();
    chkSmtpClick();
    chkRecycleHddClick();
    cbxInboundFilterClick();
    cbxOutboundFilterClick();
    chkBackupDbClick();
    btnChangeAdm->setEnabled(s.cbxAdminPass);
    btnChangeAcc->setEnabled(s.cbxAccessPass);
}

void TfmConfig::btnOkClick() {
    QString error;
    try {
        if (!store_.Commit(&error)) ShowMessage(T::kSettingsNotSaved + error);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        return;  // the table refused: the dialog stays open
    }
    SettingsToControls();
    accept();
}

void TfmConfig::btnCancelClick() {
    try {
        store_.Revert();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
    reject();
}

void TfmConfig::FormDestroy() { store_.SaveDialogPosition(pos()); }

// ---------------------------------------------------------------------------------------------
// Channels page

Tchannel* TfmConfig::SelectedChannel() {
    const int row = lbxChannels->currentRow();
    if (row < 0 || row >= channels_.Count()) return nullptr;
    return &channels_[row];
}

Tchannel* TfmConfig::SelectedScheduleChannel() {
    const int row = lbxChannelsSched->currentRow();
    if (row < 0 || row >= channels_.Count()) return nullptr;
    return &channels_[row];
}

void TfmConfig::ShowOperation(bool on) {
    btnStop->setEnabled(on);
    btnStart->setEnabled(!on);
    Led1->SetPicture(on ? TPictures::TileIdle() : TPictures::TileOff());
    Led1->SetTag(on ? 1 : 0);
}

void TfmConfig::lbxChannelsClick() {
    Tchannel* c = SelectedChannel();
    if (!c) return;
    channelLoading_ = true;
    lbChannelType->setText(T::kDemoChannel);
    edtTag->setText(c->Tag);
    ShowOperation(c->OperationEdit);
    rbVox->setChecked(c->Trigger == 0);
    rbVoltage->setChecked(c->Trigger == 1);
    rbOndemand->setChecked(c->Trigger == 2);
    spnLevelOn->setValue(c->LevelOn);
    spnRunOn->setValue(c->RunOn);
    spnRecGain->setValue(c->RecordingGain);
    spnPlayGain->setValue(c->PlayGain);
    spnDtrmVol->setValue(c->DtrmVoltage);
    cbxAgc->setChecked(c->Agc);
    channelLoading_ = false;
}

void TfmConfig::btnStartClick() {
    Tchannel* c = SelectedChannel();
    if (!c) return;
    c->OperationEdit = true;
    c->Idle = true;
    ShowOperation(true);
}

void TfmConfig::btnStopClick() {
    Tchannel* c = SelectedChannel();
    if (!c) return;
    c->OperationEdit = false;
    ShowOperation(false);
}

void TfmConfig::spnRunOnExit(qint64) { ShowMessage(T::kValueOutOfLimits); }

void TfmConfig::spnRecGainExit(qint64 typed) {
    if (typed > spnRecGain->maximum())
        ShowMessage(T::kMaximumSetTo + QString::number(spnRecGain->maximum()));
    else
        ShowMessage(T::kMinimumSetTo + QString::number(spnRecGain->minimum()));
}

void TfmConfig::spnPlayGainExit(qint64 typed) {
    if (typed > spnPlayGain->maximum())
        ShowMessage(T::kMaximumSetTo + QString::number(spnPlayGain->maximum()));
    else
        ShowMessage(T::kMinimumSetTo + QString::number(spnPlayGain->minimum()));
}

// ---------------------------------------------------------------------------------------------
// General settings page

void TfmConfig::cbxCompressionChange() {
    const int item = cbxCompression->currentIndex();
    if (item < 0) return;
    settings_.cbxCompression = item;
    settings_.CompressionTag = TLiveSettings::CompressionTagOf(item);
}

namespace {
void FilterKeyField(QLineEdit* e) {
    const QString filtered = TConfigStore::FilterKeys(e->text());
    if (filtered == e->text()) return;
    const int cursor = e->cursorPosition();
    const int removed = static_cast<int>(e->text().size() - filtered.size());
    e->setText(filtered);  // itself a change, so the live setting follows
    e->setCursorPosition(std::max(0, cursor - removed));
}
}  // namespace

void TfmConfig::edtStartChange() {
    FilterKeyField(edtStart);
    if (!syncing_) settings_.edtStart = edtStart->text();
}

void TfmConfig::edtStopChange() {
    FilterKeyField(edtStop);
    if (!syncing_) settings_.edtStop = edtStop->text();
}
void TfmConfig::edtStartExit() { edtStart->setText(edtStart->text().trimmed()); }
void TfmConfig::edtStopExit() { edtStop->setText(edtStop->text().trimmed()); }

void TfmConfig::cbxTrimDigitsClick() {
    const bool on = cbxTrimDigits->isChecked();
    settings_.cbxTrimDigits = on;
    if (!on) edtTrimDigits->clear();
    edtTrimDigits->setEnabled(on);
}

void TfmConfig::cbExtToolClick() {
    const bool on = cbExtTool->isChecked();
    settings_.cbExtTool = on;
    for (QWidget* w : std::initializer_list<QWidget*>{edtToolCaption, edtToolComline, stxExe, sbExeTool})
        w->setEnabled(on);
}

void TfmConfig::sbExeToolClick() {
    if (!PickExecutable) return;
    const QString start = settings_.ToolExecutable.isEmpty()
                              ? QDir::homePath()
                              : QFileInfo(settings_.ToolExecutable).absolutePath();
    const QString chosen = PickExecutable(start);
    if (chosen.isEmpty()) return;
    settings_.ToolExecutable = chosen;
    stxExe->setText(QFileInfo(chosen).fileName());
}

// ---------------------------------------------------------------------------------------------
// Alarms page

void TfmConfig::chkSmtpClick() {
    const bool on = chkSmtp->isChecked();
    settings_.chkSmtp = on;
    for (QWidget* w : std::initializer_list<QWidget*>{edtServerName, edtSmtpUserID, edtRecipient1,
                                                      edtRecipient2, edtRecipient3, btnTestServer})
        w->setEnabled(on);
}

// ---------------------------------------------------------------------------------------------
// Schedule page

void TfmConfig::lbxChannelsSchedClick() {
    Tchannel* c = SelectedScheduleChannel();
    if (!c) return;
    SchedulePageLoading = true;
    for (int d = 1; d <= 7; ++d) {
        const TScheduleDay& day = c->ScheduleEdit[static_cast<size_t>(d)];
        cbxDay[d]->setChecked(day.En);
        Start[d]->setTime(TimeOf(day.Start));
        Stop[d]->setTime(TimeOf(day.Stop));
        cbxFull[d]->setChecked(day.FullTime);
    }
    SchedulePageLoading = false;
    for (int d = 1; d <= 7; ++d) ApplyDayRules(d);
}

void TfmConfig::ApplyDayRules(int d) {
    const bool en = cbxDay[d]->isChecked();
    const bool full = cbxFull[d]->isChecked();
    cbxFull[d]->setEnabled(en);
    Start[d]->setEnabled(en && !full);
    Stop[d]->setEnabled(en && !full);
}

void TfmConfig::cbxDayClick(int d) {
    Tchannel* c = SelectedScheduleChannel();
    if (!SchedulePageLoading && c) c->ScheduleEdit[static_cast<size_t>(d)].En = cbxDay[d]->isChecked();
    ApplyDayRules(d);
}

void TfmConfig::cbxFullClick(int d) {
    Tchannel* c = SelectedScheduleChannel();
    if (!SchedulePageLoading && c)
        c->ScheduleEdit[static_cast<size_t>(d)].FullTime = cbxFull[d]->isChecked();
    ApplyDayRules(d);
}

void TfmConfig::StartChange(int d) {
    Tchannel* c = SelectedScheduleChannel();
    if (!SchedulePageLoading && c)
        c->ScheduleEdit[static_cast<size_t>(d)].Start = DateTimeOf(Start[d]->time());
}

void TfmConfig::StopChange(int d) {
    Tchannel* c = SelectedScheduleChannel();
    if (!SchedulePageLoading && c)
        c->ScheduleEdit[static_cast<size_t>(d)].Stop = DateTimeOf(Stop[d]->time());
}

// ---------------------------------------------------------------------------------------------
// Medium management and storage pages

QString TfmConfig::PickFolderAt(const QString& start) {
    if (!PickFolder) return QString();
    QString chosen = PickFolder(start);
    if (chosen.isEmpty()) return QString();
    chosen = QDir::cleanPath(chosen);
    if (!chosen.endsWith('/')) chosen += '/';
    return chosen;
}

void TfmConfig::chkRecycleHddClick() {
    const bool on = chkRecycleHdd->isChecked();
    settings_.chkRecycleHdd = on;
    speBackupCap->setEnabled(!on);
    btnBackupFolder->setEnabled(!on);
}

void TfmConfig::btnBackupFolderClick() {
    const QString current = edtbackupFolder->text();
    const QString start = QFileInfo(current).isDir() ? current : QDir::homePath();
    const QString chosen = PickFolderAt(start);
    if (chosen.isEmpty()) return;
    settings_.edtbackupFolder = chosen;
    edtbackupFolder->setText(chosen);
}

void TfmConfig::btnFolderClick() {
    QString start = edtFolder->text();
    if (!QFileInfo(start).isDir()) start = store_.DefaultSaveFolder();
    if (!QFileInfo(start).isDir()) start = QDir::homePath();
    const QString chosen = PickFolderAt(start);
    if (chosen.isEmpty()) return;
    settings_.edtFolder = chosen;
    edtFolder->setText(chosen);
    // The capacity is measured on the volume of the folder chosen.
    capacityMaximum_ = TConfigStore::CapacityMaximum(chosen);
    const QSignalBlocker block(speMainStorageCap);
    speMainStorageCap->setMaximum(std::max(capacityMaximum_, speMainStorageCap->value()));
    UpdateStorageFigures();
}

// The maximum is the free space less 100 MB, never below 0. A stored capacity above it stays
// as it is: only the user changes the capacity.
void TfmConfig::ShowStoragePage() {
    capacityMaximum_ = TConfigStore::CapacityMaximum(store_.StoredSaveFolder());
    syncing_ = true;
    const int capacity = std::max(0, settings_.speMainStorageCap);
    speMainStorageCap->setRange(0, std::max(capacityMaximum_, capacity));
    speMainStorageCap->setValue(capacity);
    edtFolder->setText(settings_.edtFolder);
    syncing_ = false;
    UpdateStorageFigures();
}

void TfmConfig::UpdateStorageFigures() {
    const int used = store_.UsedMb();
    const int free = speMainStorageCap->value() - used;
    lbUsed->setText(T::kUsedSpace + QString::number(used) + T::kMbSuffix);
    lbFree->setText(T::kFreeSpace + QString::number(free) + T::kMbSuffix);
    Chart1->Clear();
    Chart1->AddSlice(free, T::kFreeDisk, Qt::green);
    Chart1->AddSlice(used, T::kUsedDisk, Qt::red);
}

void TfmConfig::speMainStorageCapChange() {
    const int used = store_.UsedMb();
    const int raised =
        TConfigStore::ClimbCapacity(speMainStorageCap->value(), used, speMainStorageCap->maximum());
    if (raised != speMainStorageCap->value()) {
        const QSignalBlocker block(speMainStorageCap);
        speMainStorageCap->setValue(raised);
    }
    settings_.speMainStorageCap = speMainStorageCap->value();
    UpdateStorageFigures();
}

// ---------------------------------------------------------------------------------------------
// Filters page

void TfmConfig::cbxInboundFilterClick() {
    settings_.cbxInboundFilter = cbxInboundFilter->isChecked();
    spnInboundTime->setEnabled(cbxInboundFilter->isChecked());
}

void TfmConfig::cbxOutboundFilterClick() {
    settings_.cbxOutboundFilter = cbxOutboundFilter->isChecked();
    spnOutboundTime->setEnabled(cbxOutboundFilter->isChecked());
}

void TfmConfig::btnInListClick() {
    if (OpenFilterList) OpenFilterList(0);
}

void TfmConfig::btnOutListClick() {
    if (OpenFilterList) OpenFilterList(1);
}

// ---------------------------------------------------------------------------------------------
// Security page

void TfmConfig::SwitchPassword(QCheckBox* box, QPushButton* change, bool& live, int kind) {
    // The box has already changed state: unchecked now means the user switched it off.
    if (!box->isChecked()) {
        change->setEnabled(false);
        live = false;
        return;
    }
    if (!AskNewPassword) {  // no password window: the password cannot be switched on
        box->setChecked(false);
        return;
    }
    AskNewPassword(kind);
    box->setChecked(true);
    change->setEnabled(true);
    live = true;
}

void TfmConfig::cbxAdminPassClick() {
    SwitchPassword(cbxAdminPass, btnChangeAdm, settings_.cbxAdminPass, 1);
}

void TfmConfig::cbxAccessPassClick() {
    SwitchPassword(cbxAccessPass, btnChangeAcc, settings_.cbxAccessPass, 2);
}

void TfmConfig::btnChangeAdmClick() {
    if (AskNewPassword) AskNewPassword(1);
}

void TfmConfig::btnChangeAccClick() {
    if (AskNewPassword) AskNewPassword(2);
}

void TfmConfig::chkBackupDbClick() {
    settings_.chkBackupDb = chkBackupDb->isChecked();
    speBackupdb->setEnabled(chkBackupDb->isChecked());
}
