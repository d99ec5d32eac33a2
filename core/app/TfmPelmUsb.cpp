#include "TfmPelmUsb.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QAudioDevice>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "CoreTexts.h"
#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TExternalTool.h"
#include "TFolderTreeView.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TMonitorPage.h"
#include "TNavigationBar.h"
#include "TPelmGlobals.h"
#include "TPictures.h"
#include "TShell.h"
#include "TfmAbout.h"
#include "TfmInstructions.h"

namespace {

const char* const kViewNames[] = {"Logger", "Search", "Monitor", "Alarms"};
const char* const kTreeItems[] = {"Add node",       "Add child node", "Insert node",
                                  "Delete node...", "Rename node",    "Expand node",
                                  "Collapse node",  "Expand all",     "Collapse all"};

QWidget* Placeholder(const QString& name, QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    return w;
}

}  // namespace

TfmPelmUsb::TfmPelmUsb(TPelmGlobals& globals, TChannelTable& channels, TLiveSettings& settings,
                       const QStringList& args, QWidget* parent)
    : QMainWindow(parent),
      globals_(globals),
      channels_(channels),
      settings_(settings),
      args_(args),
      passwords_(globals.SettingsRegistry) {
    setObjectName("fmPelmUsb");
    // 1. Caption.
    setWindowTitle(CoreTexts::kAppTitle);
    setWindowIcon(TPictures::AppIcon());
    setMinimumSize(700, 645);
    QString first = args_.isEmpty() ? QString() : args_.first().toUpper();
    developer_ = first == "KUDOX";
    startupMode_ = first == "STARTUP";

    // 2-3. Pages, menus, tool bar, status bar and its progress bar.
    BuildPages();
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();

    // 5. The settings stores (the data folder is settled there).
    StartupNotes = globals_.OpenStores();
    TIniFile& ini = globals_.SettingsIni;

    // 7. Geometry.
    int top = ini.ReadInteger("fmPelmUsb", "Top", 57);
    int left = ini.ReadInteger("fmPelmUsb", "Left", 257);
    int width = ini.ReadInteger("fmPelmUsb", "width", 949);
    int height = ini.ReadInteger("fmPelmUsb", "height", 726);
    setGeometry(left, top, std::max(width, 700), std::max(height, 645));
    int panel13 = std::max(0, ini.ReadInteger("fmPelmUsb", "panel13Width", 170));
    panel13_->setMinimumWidth(0);
    splitter_->setSizes({panel13, std::max(100, width - 105 - panel13)});
    panel2_->setFixedHeight(std::max(0, ini.ReadInteger("fmPelmUsb", "panel2Height", 155)));

    // 8. Date of the last database copy.
    TDateTime today = std::floor(NowDateTime());
    if (ini.ValueExists("Backup", "backupDate")) {
        LastDbBackup = ini.ReadDateTime("Backup", "backupDate", today);
    } else {
        ini.WriteDateTime("Backup", "backupDate", today);
        LastDbBackup = today;
    }

    // 9. Grid title rows and column widths.
    for (QTableView* g : {gdLogger_, gdSearch_}) {
        g->horizontalHeader()->setFixedHeight(18);
        g->verticalHeader()->hide();
    }
    LoadGridLayout();
    connect(gdLogger_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) LoggerWidthsChanged = true;
    });
    connect(gdSearch_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) SearchWidthsChanged = true;
    });

    // 10. External tool, volume, the Logger view.
    SetUpExternalTool();
    tbrVolume_->setValue(std::clamp(ini.ReadInteger("General", "Volume", 2), 0, 16));
    ShowView(vLogger);
    tree_->setFocus();

    // 12. Tool bar and status bar.
    if (!ini.ValueExists("General", "Toolbar")) ini.WriteBool("General", "Toolbar", true);
    if (!ini.ValueExists("General", "statusBar")) ini.WriteBool("General", "statusBar", true);
    bool toolbar = ini.ReadBool("General", "Toolbar", true);
    bool statusBar = ini.ReadBool("General", "statusBar", true);
    panel9_->setVisible(toolbar);
    Action("mmiToolbar")->setChecked(toolbar);
    this->statusBar()->setVisible(statusBar);
    Action("mmiStatusBar")->setChecked(statusBar);

    // 13. Channels and their tiles.
    channels_.InitChannels(2);
    monitor_->BuildMonitorTiles(channels_);

    // 15. The playback device.
    if (QMediaDevices::audioOutputs().isEmpty()) ShowMessage(CoreTexts::kNoSoundCard);

    BuildTray();
    timer1_ = new QTimer(this);
    timer1_->setInterval(100);
    connect(timer1_, &QTimer::timeout, this, &TfmPelmUsb::Timer1Timer);
    timer2_ = new QTimer(this);
    timer2_->setInterval(1000);
    connect(timer2_, &QTimer::timeout, this, &TfmPelmUsb::Timer2Timer);
    qApp->installEventFilter(this);
    RefreshActions();
}

TfmPelmUsb::~TfmPelmUsb() {
    qApp->removeEventFilter(this);
    if (tray_) tray_->hide();
}

// ---------------------------------------------------------------------------------------------
// Building the window

QAction* TfmPelmUsb::AddAction(QMenu* menu, const QString& name, const QString& caption,
                               const QKeySequence& key) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    menu->addAction(a);
    return a;
}

QAction* TfmPelmUsb::Action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

QToolButton* TfmPelmUsb::ToolbarButton(const QString& objectName) const {
    return panel9_->findChild<QToolButton*>(objectName);
}

void TfmPelmUsb::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("  &File  ");
    auto hook = [this](std::function<void()> TMainHooks::*member) {
        return [this, member] {
            if (hooks_.*member) (hooks_.*member)();
        };
    };
    connect(AddAction(file, "mmiMemo", "Memo...", QKeySequence("Ctrl+M")), &QAction::triggered,
            this, hook(&TMainHooks::Memo));
    connect(AddAction(file, "mmiDelete", "Delete File(s)...", QKeySequence("Ctrl+D")),
            &QAction::triggered, this, hook(&TMainHooks::DeleteFiles));
    connect(AddAction(file, "mmiMoveTo", "Move to..."), &QAction::triggered, this,
            hook(&TMainHooks::MoveTo));
    connect(AddAction(file, "mmiCopyTo", "Copy to folder..."), &QAction::triggered, this,
            hook(&TMainHooks::CopyTo));
    file->addSeparator();
    connect(AddAction(file, "mmiPrintSetup", "Print Setup..."), &QAction::triggered, this,
            hook(&TMainHooks::PrintSetup));
    connect(AddAction(file, "mmiPrintPreview", "Print Preview"), &QAction::triggered, this,
            hook(&TMainHooks::PrintPreview));
    connect(AddAction(file, "mmiPrint", "Print...", QKeySequence("Ctrl+P")), &QAction::triggered,
            this, hook(&TMainHooks::Print));
    file->addSeparator();
    connect(AddAction(file, "mmiEmail", "Email wav file to..."), &QAction::triggered, this,
            hook(&TMainHooks::EmailFile));
    connect(AddAction(file, "mmiExport", "Export data"), &QAction::triggered, this,
            hook(&TMainHooks::ExportData));
    file->addSeparator();
    connect(AddAction(file, "mmiExit", "Exit", QKeySequence("Ctrl+X")), &QAction::triggered, this,
            &TfmPelmUsb::ExitProgram);

    QMenu* view = bar->addMenu("  View  ");
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        QAction* a = AddAction(view, QString("mmi") + kViewNames[i], kViewNames[i]);
        a->setCheckable(true);
        views->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { ShowView(i); });
    }
    view->addSeparator();
    QAction* tb = AddAction(view, "mmiToolbar", "Toolbar");
    tb->setCheckable(true);
    connect(tb, &QAction::triggered, this, &TfmPelmUsb::ToggleToolbar);
    QAction* sb = AddAction(view, "mmiStatusBar", "Status bar");
    sb->setCheckable(true);
    connect(sb, &QAction::triggered, this, &TfmPelmUsb::ToggleStatusBar);

    QMenu* treeMenu = bar->addMenu("  &Tree  ");
    for (int i = 0; i < 9; ++i) {
        if (i == 4 || i == 5) treeMenu->addSeparator();
        QAction* a = AddAction(treeMenu, QString("mmiTree%1").arg(i), kTreeItems[i]);
        connect(a, &QAction::triggered, this, [this, i] {
            if (hooks_.TreeAction) hooks_.TreeAction(i);
        });
    }

    QMenu* player = bar->addMenu("  &Player  ");
    connect(AddAction(player, "mmiPlay", "Play"), &QAction::triggered, this,
            hook(&TMainHooks::Play));
    connect(AddAction(player, "mmiPause", "Pause"), &QAction::triggered, this,
            hook(&TMainHooks::Pause));
    connect(AddAction(player, "mmiStop", "Stop", QKeySequence("Ctrl+S")), &QAction::triggered, this,
            hook(&TMainHooks::Stop));
    connect(AddAction(player, "mmiRewind", "Rewind"), &QAction::triggered, this,
            hook(&TMainHooks::Rewind));
    connect(AddAction(player, "mmiFastForward", "Fast forward"), &QAction::triggered, this,
            hook(&TMainHooks::FastForward));
    player->addSeparator();
    QAction* record = AddAction(player, "mmiRecord", "Record");
    record->setCheckable(true);
    connect(record, &QAction::triggered, this, [this, record] {
        // The item shows the call state, not the click.
        record->setChecked(hooks_.CallActive && hooks_.CallActive());
        if (hooks_.Record) hooks_.Record();
    });

    toolsMenu_ = bar->addMenu("  &Tools  ");
    connect(AddAction(toolsMenu_, "mmiSettings", "Settings..."), &QAction::triggered, this,
            &TfmPelmUsb::SettingsCommand);
    connect(AddAction(toolsMenu_, "mmiExternalTool", QString()), &QAction::triggered, this,
            &TfmPelmUsb::RunExternalTool);

    QMenu* help = bar->addMenu("  &Help  ");
    connect(AddAction(help, "mmiContents", "Contents..."), &QAction::triggered, this,
            &TfmPelmUsb::HelpCommand);
    connect(AddAction(help, "mmiFAQ", "FAQ"), &QAction::triggered, this,
            [this] { TShell::Instance().OpenDocument(globals_.ProgramDir + "/help/faq.html"); });
    connect(AddAction(help, "mmiTroubleshooting", "Troubleshooting"), &QAction::triggered, this,
            [this] {
                TShell::Instance().OpenDocument(globals_.ProgramDir + "/help/troubleshooting.html");
            });
    help->addSeparator();
    connect(AddAction(help, "mmiAbout", "About..."), &QAction::triggered, this,
            &TfmPelmUsb::ShowAbout);
}

void TfmPelmUsb::BuildToolbar() {
    panel9_ = new QWidget(this);
    panel9_->setObjectName("Panel9");
    panel9_->setFixedHeight(40);
    auto* layout = new QHBoxLayout(panel9_);
    layout->setContentsMargins(4, 2, 4, 2);
    auto add = [&](const QString& name, const QString& caption) {
        auto* b = new QToolButton(panel9_);
        b->setObjectName(name);
        b->setText(caption);
        b->setAutoRaise(true);
        b->setMinimumHeight(34);
        layout->addWidget(b);
        return b;
    };
    QToolButton* email = add("btnEmail", "Email file ");
    connect(email, &QToolButton::clicked, this, [this] {
        if (hooks_.EmailFile) hooks_.EmailFile();
    });
    connect(add("btnSettings", "Settings"), &QToolButton::clicked, this,
            &TfmPelmUsb::SettingsCommand);
    connect(add("btnHide", "Hide"), &QToolButton::clicked, this, &TfmPelmUsb::HideToTray);
    connect(add("btnHelp", "Help"), &QToolButton::clicked, this, &TfmPelmUsb::HelpCommand);
    speedButton1_ = add("SpeedButton1", QString());
    connect(speedButton1_, &QToolButton::clicked, this, &TfmPelmUsb::RunExternalTool);
    layout->addStretch(1);
    auto* record = add("btnRecord", "Record");
    record->setCheckable(true);
    connect(record, &QToolButton::clicked, this, [this, record] {
        // The button shows the call state, not the click.
        record->setChecked(hooks_.CallActive && hooks_.CallActive());
        if (hooks_.Record) hooks_.Record();
    });
    // The tool bar sits above the page area.
    auto* central = centralWidget();
    auto* outer = new QWidget(this);
    auto* v = new QVBoxLayout(outer);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(panel9_);
    v->addWidget(central, 1);
    setCentralWidget(outer);
}

void TfmPelmUsb::BuildPages() {
    auto* body = new QWidget(this);
    auto* h = new QHBoxLayout(body);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    outlookBar_ = new TNavigationBar("Views", body);
    outlookBar_->setObjectName("OutlookBar1");
    for (int i = 0; i < 4; ++i) outlookBar_->AddItem(kViewNames[i], TPictures::ViewIcon(i));
    connect(outlookBar_, &TNavigationBar::itemClicked, this, &TfmPelmUsb::ShowView);
    h->addWidget(outlookBar_);

    pageControl_ = new QStackedWidget(body);
    pageControl_->setObjectName("PageControl1");
    h->addWidget(pageControl_, 1);

    // Page ts1: the player panel above the Logger and Search pages.
    ts1_ = Placeholder("ts1", pageControl_);
    auto* v = new QVBoxLayout(ts1_);
    v->setContentsMargins(0, 0, 0, 0);
    panel2_ = Placeholder("Panel2", ts1_);
    auto* p2 = new QHBoxLayout(panel2_);
    for (const char* name : {"btnPlay", "btnPause", "btnStop", "btnRewind", "btnFastForward"}) {
        auto* b = new QToolButton(panel2_);
        b->setObjectName(name);
        b->setEnabled(false);  // the player comes with its part of the program
        p2->addWidget(b);
    }
    p2->addStretch(1);
    p2->addWidget(new QLabel("Volume", panel2_));
    tbrVolume_ = new QSlider(Qt::Horizontal, panel2_);
    tbrVolume_->setObjectName("tbrVolume");
    tbrVolume_->setRange(0, 16);
    tbrVolume_->setFixedWidth(120);
    p2->addWidget(tbrVolume_);
    v->addWidget(panel2_);
    innerPages_ = new QStackedWidget(ts1_);
    v->addWidget(innerPages_, 1);

    tsLogger_ = Placeholder("tsLogger", innerPages_);
    auto* lh = new QHBoxLayout(tsLogger_);
    lh->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, tsLogger_);
    splitter_ = splitter;
    panel13_ = Placeholder("Panel13", splitter);
    auto* tv = new QVBoxLayout(panel13_);
    tv->setContentsMargins(0, 0, 0, 0);
    tree_ = new TFolderTreeView(panel13_);
    tree_->setObjectName("tree");
    tv->addWidget(tree_);
    gdLogger_ = new TCallsGrid(splitter);
    gdLogger_->setObjectName("gdLogger");
    splitter->addWidget(panel13_);
    splitter->addWidget(gdLogger_);
    splitter->setStretchFactor(1, 1);
    lh->addWidget(splitter);
    innerPages_->addWidget(tsLogger_);

    tsSearch_ = Placeholder("tsSearch", innerPages_);
    auto* sv = new QVBoxLayout(tsSearch_);
    sv->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(tsSearch_);
    scroll->setObjectName("ScrollBox1");
    scroll->setFixedHeight(160);
    scrollBox1_ = scroll;
    gdSearch_ = new TCallsGrid(tsSearch_);
    gdSearch_->setObjectName("gdSearch");
    sv->addWidget(scroll);
    sv->addWidget(gdSearch_, 1);
    innerPages_->addWidget(tsSearch_);
    pageControl_->addWidget(ts1_);

    monitor_ = new TMonitorPage(pageControl_);
    monitor_->setObjectName("ts2");
    pageControl_->addWidget(monitor_);
    tsAlarms_ = Placeholder("tsAlarms", pageControl_);
    new QVBoxLayout(tsAlarms_);
    pageControl_->addWidget(tsAlarms_);
    activeGrid_ = gdLogger_;
    setCentralWidget(body);
}

void TfmPelmUsb::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    const int widths[] = {120, 100, 160, 120, 50};
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(bar);
        l->setObjectName(QString("StatusPanel%1").arg(i));
        // The text panels widen when their text does not fit (fonts differ from the design's).
        if (i < 3)
            l->setMinimumWidth(widths[i]);
        else
            l->setFixedWidth(widths[i]);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        bar->addWidget(l);
        statusPanels_ << l;
    }
    progress_ = new QProgressBar(statusPanels_[3]);
    progress_->setTextVisible(false);
    progress_->setStyleSheet(
        "QProgressBar { border: none; } QProgressBar::chunk { background: blue; }");
    progress_->hide();
    PlaceProgressBar();
}

void TfmPelmUsb::PlaceProgressBar() {
    if (progress_) progress_->setGeometry(statusPanels_[3]->rect());
}

QStatusBar* TfmPelmUsb::StatusBar1() const {
    return const_cast<TfmPelmUsb*>(this)->statusBar();
}

QLabel* TfmPelmUsb::StatusPanel(int i) const {
    return statusPanels_.value(i);
}

void TfmPelmUsb::BuildTray() {
    trayAvailable_ = QSystemTrayIcon::isSystemTrayAvailable();
    tray_ = new QSystemTrayIcon(TPictures::AppIcon(), this);
    tray_->setToolTip(CoreTexts::kAppTitle);
    trayMenu_ = new QMenu(this);
    QAction* restore = trayMenu_->addAction("Restore");
    restore->setObjectName("pmiRestore");
    connect(restore, &QAction::triggered, this, &TfmPelmUsb::Restore);
    trayMenu_->addSeparator();
    QAction* exit = trayMenu_->addAction("Exit");
    exit->setObjectName("pmiExit");
    connect(exit, &QAction::triggered, this, &TfmPelmUsb::ExitProgram);
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger) Restore();
    });
    tray_->show();
}

void TfmPelmUsb::SetHooks(const TMainHooks& hooks) {
    hooks_ = hooks;
    RefreshActions();
}

void TfmPelmUsb::RefreshActions() {
    auto enable = [this](const char* name, bool on) {
        if (QAction* a = Action(name)) a->setEnabled(on);
    };
    enable("mmiMemo", bool(hooks_.Memo));
    enable("mmiDelete", bool(hooks_.DeleteFiles));
    enable("mmiMoveTo", bool(hooks_.MoveTo));
    enable("mmiCopyTo", bool(hooks_.CopyTo));
    enable("mmiPrintSetup", bool(hooks_.PrintSetup));
    enable("mmiPrintPreview", printAllowed_ && bool(hooks_.PrintPreview));
    enable("mmiPrint", printAllowed_ && bool(hooks_.Print));
    enable("mmiEmail", bool(hooks_.EmailFile));
    enable("mmiExport", bool(hooks_.ExportData));
    for (int i = 0; i < 9; ++i)
        enable(QString("mmiTree%1").arg(i).toUtf8().constData(),
               bool(hooks_.TreeAction) && treeItemEnabled_[i]);
    enable("mmiPlay", bool(hooks_.Play));
    enable("mmiPause", bool(hooks_.Pause));
    enable("mmiStop", bool(hooks_.Stop));
    enable("mmiRewind", bool(hooks_.Rewind));
    enable("mmiFastForward", bool(hooks_.FastForward));
    enable("mmiRecord", bool(hooks_.Record));
    enable("mmiSettings", bool(hooks_.ShowConfig));
    if (QToolButton* b = ToolbarButton("btnSettings")) b->setEnabled(bool(hooks_.ShowConfig));
    if (QToolButton* b = ToolbarButton("btnEmail")) b->setEnabled(bool(hooks_.EmailFile));
    if (QToolButton* b = ToolbarButton("btnRecord")) b->setEnabled(bool(hooks_.Record));
}

void TfmPelmUsb::SetRecordDown(bool down) {
    if (QToolButton* b = ToolbarButton("btnRecord")) b->setChecked(down);
    if (QAction* a = Action("mmiRecord")) a->setChecked(down);
}

void TfmPelmUsb::SetTreeItemEnabled(int item, bool on) {
    if (item < 0 || item >= 9) return;
    treeItemEnabled_[item] = on;
    if (QAction* a = Action(QString("mmiTree%1").arg(item)))
        a->setEnabled(bool(hooks_.TreeAction) && on);
}

// ---------------------------------------------------------------------------------------------
// Views

void TfmPelmUsb::ShowView(int view) {
    if (view < 0 || view > 3) return;
    view_ = view;
    switch (view) {
        case vLogger:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(tsLogger_);
            activeGrid_ = gdLogger_;
            printAllowed_ = true;
            break;
        case vSearch:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(tsSearch_);
            activeGrid_ = gdSearch_;
            printAllowed_ = true;
            break;
        case vMonitor:
            pageControl_->setCurrentWidget(monitor_);
            printAllowed_ = false;
            break;
        case vAlarms:
            pageControl_->setCurrentWidget(tsAlarms_);
            printAllowed_ = false;
            break;
    }
    for (int i = 0; i < 4; ++i)
        if (QAction* a = Action(QString("mmi") + kViewNames[i])) a->setChecked(i == view);
    outlookBar_->SetSelected(view);
    RefreshActions();
    bool playing = hooks_.PlayerPlaying && hooks_.PlayerPlaying();
    if (!playing && hooks_.UpdateFileActions) hooks_.UpdateFileActions();
}

void TfmPelmUsb::ToggleToolbar(bool on) {
    panel9_->setVisible(on);
    Action("mmiToolbar")->setChecked(on);
    globals_.SettingsIni.WriteBool("General", "Toolbar", on);
}

void TfmPelmUsb::ToggleStatusBar(bool on) {
    statusBar()->setVisible(on);
    Action("mmiStatusBar")->setChecked(on);
    globals_.SettingsIni.WriteBool("General", "statusBar", on);
}

void TfmPelmUsb::RefreshStatusBar() {
    int count = hooks_.ActiveGridRecordCount ? hooks_.ActiveGridRecordCount() : 0;
    statusPanels_[1]->setText(CoreTexts::kRecords + QString::number(count));
    double mb = globals_.UsedSpaceKb.load() / 1024.0;
    statusPanels_[2]->setText(CoreTexts::kHardDiskUsed + QString::number(mb, 'f', 2) +
                              CoreTexts::kMb);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfmPelmUsb::HideToTray() {
    if (trayAvailable_)
        hide();
    else
        showMinimized();  // no tray to come back from: keep the window reachable
}

void TfmPelmUsb::Restore() {
    if (!passwords_.Check(TPasswordCheck::Kind::Access)) {
        ShowMessage(CoreTexts::kPasswordFailed);
        return;
    }
    Shown = true;
    showNormal();
    raise();
    activateWindow();
}

void TfmPelmUsb::ExitProgram() {
    CanExit = true;
    close();
}

void TfmPelmUsb::SessionEnding() {
    CanExit = true;
    close();
}

void TfmPelmUsb::SettingsCommand() {
    if (!hooks_.ShowConfig) return;
    if (!passwords_.Check(TPasswordCheck::Kind::Administrator)) {
        ShowMessage(CoreTexts::kPasswordFailed);
        return;
    }
    hooks_.ShowConfig();
    SetUpExternalTool();
}

void TfmPelmUsb::HelpCommand() {
    int r = TShell::Instance().OpenDocument(globals_.ProgramDir + "/help/index.html");
    if (r <= 32) {
        QString text = ShellErrorText(r);
        if (!text.isEmpty()) ShowMessage(text);
    }
}

void TfmPelmUsb::SetUpExternalTool() {
    TIniFile& ini = globals_.SettingsIni;
    QAction* item = Action("mmiExternalTool");
    if (!ini.ReadBool("External tool", "ToolEnable", false)) {
        item->setText(QString());
        item->setVisible(false);
        speedButton1_->setText(QString());
        speedButton1_->setVisible(false);
        return;
    }
    QString caption = ini.ReadString("External tool", "caption", CoreTexts::kCaptionNotFound);
    item->setText(caption);
    item->setVisible(true);
    speedButton1_->setText(TExternalTool::ButtonCaption(caption));
    speedButton1_->setVisible(true);
}

void TfmPelmUsb::RunExternalTool() {
    TIniFile& ini = globals_.SettingsIni;
    QString fileName = hooks_.ActiveGridFileName ? hooks_.ActiveGridFileName() : QString();
    auto inv = TExternalTool::Build(ini.ReadString("External tool", "comLine", QString()),
                                    ini.ReadString("External tool", "Executable", QString()),
                                    settings_.edtFolder, fileName);
    if (!inv) return;
    int r = TShell::Instance().Run(inv->Executable, inv->Args, inv->WorkDir);
    if (r <= 32) {
        QString text = ShellErrorText(r);
        if (!text.isEmpty()) ShowMessage(text);
    }
}

void TfmPelmUsb::ShowAbout() {
    auto* about = new TfmAbout(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

// ---------------------------------------------------------------------------------------------
// Grid widths

void TfmPelmUsb::LoadGridLayout() {
    loadingWidths_ = true;
    LoadGridWidths(gdLogger_, "dbGrid2");
    LoadGridWidths(gdSearch_, "dbGrid1");
    loadingWidths_ = false;
}

void TfmPelmUsb::LoadGridWidths(QTableView* grid, const QString& section) {
    QString prefix = section + ".columns[";
    int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int n = 0; n < columns; ++n) {
        int w = globals_.SettingsIni.ReadInteger(section, prefix + QString::number(n) + "]",
                                                 grid->columnWidth(n));
        grid->setColumnWidth(n, w);
    }
}

void TfmPelmUsb::SaveGridWidths(QTableView* grid, const QString& section) {
    QString prefix = section + ".columns[";
    int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int n = 0; n < columns; ++n)
        globals_.SettingsIni.WriteInteger(section, prefix + QString::number(n) + "]",
                                          grid->columnWidth(n));
}

// ---------------------------------------------------------------------------------------------
// Timers

void TfmPelmUsb::Timer1Timer() {
    if (FirstTick) {
        FirstTick = false;
        if (globals_.SettingsIni.ReadBool("General", "StartUp", false) && startupMode_) hide();
    }
    if (channels_.MonitorTick()) monitor_->Sync(channels_);
}

void TfmPelmUsb::Timer2Timer() {
    if (TreeChanged) {
        TreeChanged = false;
        if (hooks_.StoreTree) {
            try {
                hooks_.StoreTree();
            } catch (const std::exception& e) {
                ShowMessage(CoreTexts::kErrorTreeToTable + QString::fromUtf8(e.what()));
            }
        }
    }
    if (hooks_.PlayerTick) hooks_.PlayerTick();
    if (hooks_.DrainAlarms) hooks_.DrainAlarms();
    if (hooks_.DbBackupTick) hooks_.DbBackupTick();
    RefreshStatusBar();
}

// ---------------------------------------------------------------------------------------------
// Show, activation, keys and closing

void TfmPelmUsb::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!Shown) {
        if (!AskAccessAtFirstShow()) return;
        Shown = true;
        if (tree_->model() && tree_->model()->rowCount() > 0)
            tree_->setCurrentIndex(tree_->model()->index(0, 0));
    }
    channels_.RefreshTilesOnShow();
    monitor_->Sync(channels_);
    statusPanels_[0]->setText(CoreTexts::kModelDemo);
    RefreshStatusBar();
    PlaceProgressBar();
    timer2_->start();
    if (!InstructionsDone) QTimer::singleShot(0, this, &TfmPelmUsb::FirstActivation);
}

bool TfmPelmUsb::AskAccessAtFirstShow() {
    if (accessAsked_) return true;
    accessAsked_ = true;
    if (!passwords_.Check(TPasswordCheck::Kind::Access)) {
        ShowMessage(CoreTexts::kPasswordFailed);
        CanExit = true;
        QTimer::singleShot(0, this, &TfmPelmUsb::EndWhenMessagesClosed);
        return false;
    }
    return true;
}

// Ends the program, but only once no message box is left open, so that the user has read why.
void TfmPelmUsb::EndWhenMessagesClosed() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box && box->isVisible()) {
            connect(box, &QDialog::finished, this, &TfmPelmUsb::EndWhenMessagesClosed,
                    Qt::QueuedConnection);
            return;
        }
    }
    hide();
    ExitProgram();
}

void TfmPelmUsb::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !InstructionsDone)
        FirstActivation();
}

void TfmPelmUsb::FirstActivation() {
    if (InstructionsDone || !isVisible()) return;
    InstructionsDone = true;
    TIniFile& ini = globals_.SettingsIni;
    bool show = true;
    if (!ini.ValueExists("General", "demoInstructions"))
        ini.WriteBool("General", "demoInstructions", true);
    else
        show = ini.ReadBool("General", "demoInstructions", true);
    if (!show) return;
    auto* dlg = new TfmInstructions(this);
    dlg->setObjectName("fmInstructions");
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    connect(dlg, &QDialog::finished, this, [this, dlg] {
        if (dlg->DontShowAgain()->isChecked())
            globals_.SettingsIni.WriteBool("General", "demoInstructions", false);
    });
    dlg->open();
}

bool TfmPelmUsb::HandleDeveloperKey(QKeyEvent* e) {
    if (!developer_ || e->modifiers() != Qt::AltModifier) return false;
    switch (e->key()) {
        case Qt::Key_2:
            emit logWindowRequested();
            return true;
        case Qt::Key_3:
            if (!hooks_.ShowConfig) return true;
            if (!passwords_.Check(TPasswordCheck::Kind::Administrator)) {
                ShowMessage(CoreTexts::kDeveloperPasswordFailed);
                return true;
            }
            hooks_.ShowConfig();
            return true;
        case Qt::Key_4:
            if (hooks_.ShowDatabaseWindow) hooks_.ShowDatabaseWindow();
            return true;
        case Qt::Key_5:
            if (hooks_.ShowTestsWindow) hooks_.ShowTestsWindow();
            return true;
        default:
            return false;
    }
}

void TfmPelmUsb::keyPressEvent(QKeyEvent* e) {
    if (HandleDeveloperKey(e)) return;
    QMainWindow::keyPressEvent(e);
}

bool TfmPelmUsb::eventFilter(QObject* watched, QEvent* event) {
    // The two call grids pass every key to the window first.
    if (event->type() == QEvent::KeyPress && gdLogger_ && gdSearch_ &&
        (watched == gdLogger_ || watched == gdSearch_ || watched == gdLogger_->viewport() ||
         watched == gdSearch_->viewport())) {
        if (HandleDeveloperKey(static_cast<QKeyEvent*>(event))) return true;
    }
    if (event->type() == QEvent::Resize && !statusPanels_.isEmpty() && watched == statusPanels_[3])
        PlaceProgressBar();
    return QMainWindow::eventFilter(watched, event);
}

void TfmPelmUsb::closeEvent(QCloseEvent* e) {
    if (!CanExit) {
        e->ignore();
        HideToTray();
        return;
    }
    FormClose();
    e->accept();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TfmPelmUsb::FormClose() {
    if (closed_) return;
    closed_ = true;
    timer1_->stop();
    timer2_->stop();
    if (hooks_.CallActive && hooks_.CallActive() && hooks_.Record) hooks_.Record();
    if (hooks_.StoreTree) {
        try {
            hooks_.StoreTree();
        } catch (const std::exception& e) {
            ShowMessage(CoreTexts::kErrorTreeToTable + QString::fromUtf8(e.what()));
        }
    }
    TIniFile& ini = globals_.SettingsIni;
    bool ok = true;
    try {
        ini.BeginUpdate();
        if (LoggerWidthsChanged) SaveGridWidths(gdLogger_, "dbGrid2");
        if (SearchWidthsChanged) SaveGridWidths(gdSearch_, "dbGrid1");
        if (hooks_.ClearTree) hooks_.ClearTree();
        LogGeneral(CoreTexts::kClosingProgram);
        if (TEventLog* log = TEventLog::Instance()) ok = log->Save();
        ini.WriteInteger("General", "Volume", tbrVolume_->value());
        ini.WriteInteger("fmPelmUsb", "panel2Height", panel2_->height());
        ini.WriteInteger("fmPelmUsb", "panel13Width", panel13_->width());
        QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
        ini.WriteInteger("fmPelmUsb", "Top", g.top());
        ini.WriteInteger("fmPelmUsb", "Left", g.left());
        ini.WriteInteger("fmPelmUsb", "width", g.width());
        ini.WriteInteger("fmPelmUsb", "height", g.height());
        if (!ini.EndUpdate()) ok = false;
    } catch (...) {
        ok = false;
    }
    if (!ok) ShowMessage(CoreTexts::kErrorInFormClose);
}
