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
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "CoreTexts.h"
#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TFolderTreeView.h"
#include "TMessages.h"
#include "TMonitorPage.h"
#include "TNavigationBar.h"
#include "TPictures.h"
#include "TfmAbout.h"
#include "TfmInstructions.h"

namespace {

const char* const kViewNames[] = {"Logger", "Search", "Monitor", "Alarms"};
const char* const kTreeItems[] = {"Add node",       "Add child node", "Insert node",
                                  "Delete node...", "Rename node",    "Expand node",
                                  "Collapse node",  "Expand all",     "Collapse all"};

using FileCommand = IFileActions::Command;
using PlayerCommand = IPlayer::Command;

struct FileItem {
    const char* Name;
    const char* Caption;
    const char* Key;
    FileCommand Command;
};
const FileItem kFileItems[] = {
    {"mmiMemo", "Memo...", "Ctrl+M", FileCommand::Memo},
    {"mmiDelete", "Delete File(s)...", "Ctrl+D", FileCommand::DeleteFiles},
    {"mmiMoveTo", "Move to...", "", FileCommand::MoveTo},
    {"mmiCopyTo", "Copy to folder...", "", FileCommand::CopyTo},
    {nullptr, nullptr, nullptr, FileCommand::Memo},
    {"mmiPrintSetup", "Print Setup...", "", FileCommand::PrintSetup},
    {"mmiPrintPreview", "Print Preview", "", FileCommand::PrintPreview},
    {"mmiPrint", "Print...", "Ctrl+P", FileCommand::Print},
    {nullptr, nullptr, nullptr, FileCommand::Memo},
    {"mmiEmail", "Email wav file to...", "", FileCommand::EmailFile},
    {"mmiExport", "Export data", "", FileCommand::ExportData},
};

struct PlayerItem {
    const char* Name;
    const char* Caption;
    const char* Key;
    PlayerCommand Command;
};
const PlayerItem kPlayerItems[] = {
    {"mmiPlay", "Play", "", PlayerCommand::Play},
    {"mmiPause", "Pause", "", PlayerCommand::Pause},
    {"mmiStop", "Stop", "Ctrl+S", PlayerCommand::Stop},
    {"mmiRewind", "Rewind", "", PlayerCommand::Rewind},
    {"mmiFastForward", "Fast forward", "", PlayerCommand::FastForward},
};

QWidget* Placeholder(const QString& name, QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    return w;
}

}  // namespace

TfmPelmUsb::TfmPelmUsb(TMainController& controller, QWidget* parent)
    : QMainWindow(parent), controller_(controller) {
    setObjectName("fmPelmUsb");
    setWindowTitle(CoreTexts::kAppTitle);
    setWindowIcon(TPictures::AppIcon());
    setMinimumSize(700, 645);

    BuildPages();
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();

    // Geometry and the panels' sizes.
    const TMainController::Layout layout = controller_.StoredLayout();
    setGeometry(layout.Geometry);
    panel13_->setMinimumWidth(0);
    splitter_->setSizes(
        {layout.Panel13Width, std::max(100, layout.Geometry.width() - 105 - layout.Panel13Width)});
    panel2_->setFixedHeight(layout.Panel2Height);

    // Grid title rows and column widths.
    for (QTableView* g :
         {static_cast<QTableView*>(gdLogger_), static_cast<QTableView*>(gdSearch_)}) {
        g->horizontalHeader()->setFixedHeight(18);
        g->verticalHeader()->hide();
    }
    LoadGridLayout();
    connect(gdLogger_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) controller_.LoggerWidthsChanged = true;
    });
    connect(gdSearch_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) controller_.SearchWidthsChanged = true;
    });

    // External tool, volume, the Logger view.
    SetUpExternalTool();
    tbrVolume_->setValue(layout.Volume);
    connect(&controller_, &TMainController::viewChanged, this, &TfmPelmUsb::ShowViewState);
    connect(&controller_, &TMainController::commandsChanged, this, &TfmPelmUsb::RefreshActions);
    controller_.ShowView(vLogger);
    tree_->setFocus();

    // Tool bar and status bar.
    const bool toolbar = controller_.ToolbarShown();
    const bool statusBar = controller_.StatusBarShown();
    panel9_->setVisible(toolbar);
    Action("mmiToolbar")->setChecked(toolbar);
    this->statusBar()->setVisible(statusBar);
    Action("mmiStatusBar")->setChecked(statusBar);

    monitor_->BuildMonitorTiles(controller_.Channels());

    // The playback device.
    if (QMediaDevices::audioOutputs().isEmpty()) ShowMessage(CoreTexts::kNoSoundCard);

    BuildTray();
    connect(&controller_, &TMainController::statusChanged, this, &TfmPelmUsb::RefreshStatusBar);
    connect(&controller_, &TMainController::monitorChanged, this,
            [this] { monitor_->Sync(controller_.Channels()); });
    connect(&controller_, &TMainController::externalToolChanged, this,
            &TfmPelmUsb::SetUpExternalTool);
    connect(&controller_, &TMainController::hideRequested, this, &QWidget::hide);
    connect(&controller_, &TMainController::showRequested, this, &TfmPelmUsb::ShowRestored);
    connect(&controller_, &TMainController::closeRequested, this, &QWidget::close);
    connect(&controller_, &TMainController::accessRefused, this,
            [this] { QTimer::singleShot(0, this, &TfmPelmUsb::EndWhenMessagesClosed); });
    connect(&controller_, &TMainController::logWindowRequested, this,
            &TfmPelmUsb::logWindowRequested);
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
    for (const FileItem& item : kFileItems) {
        if (!item.Name) {
            file->addSeparator();
            continue;
        }
        const FileCommand command = item.Command;
        connect(AddAction(file, item.Name, item.Caption, QKeySequence(item.Key)),
                &QAction::triggered, this, [this, command] { controller_.Run(command); });
    }
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
        connect(a, &QAction::triggered, this, [this, i] { controller_.ShowView(i); });
    }
    view->addSeparator();
    QAction* tb = AddAction(view, "mmiToolbar", "Toolbar");
    tb->setCheckable(true);
    connect(tb, &QAction::triggered, this, &TfmPelmUsb::ToggleToolbar);
    QAction* sb = AddAction(view, "mmiStatusBar", "Status bar");
    sb->setCheckable(true);
    connect(sb, &QAction::triggered, this, &TfmPelmUsb::ToggleStatusBar);

    QMenu* treeMenu = bar->addMenu("  &Tree  ");
    for (int i = 0; i < TMainController::kTreeItems; ++i) {
        if (i == 4 || i == 5) treeMenu->addSeparator();
        QAction* a = AddAction(treeMenu, QString("mmiTree%1").arg(i), kTreeItems[i]);
        connect(a, &QAction::triggered, this, [this, i] { controller_.TreeAction(i); });
    }

    QMenu* player = bar->addMenu("  &Player  ");
    for (const PlayerItem& item : kPlayerItems) {
        const PlayerCommand command = item.Command;
        connect(AddAction(player, item.Name, item.Caption, QKeySequence(item.Key)),
                &QAction::triggered, this, [this, command] { controller_.Run(command); });
    }
    player->addSeparator();
    QAction* record = AddAction(player, "mmiRecord", "Record");
    record->setCheckable(true);
    connect(record, &QAction::triggered, this, [this, record] {
        // The item shows the call state, not the click.
        record->setChecked(controller_.CallActive());
        controller_.Record();
    });

    QMenu* tools = bar->addMenu("  &Tools  ");
    connect(AddAction(tools, "mmiSettings", "Settings..."), &QAction::triggered, this,
            &TfmPelmUsb::SettingsCommand);
    connect(AddAction(tools, "mmiExternalTool", QString()), &QAction::triggered, &controller_,
            &TMainController::RunExternalTool);

    QMenu* help = bar->addMenu("  &Help  ");
    connect(AddAction(help, "mmiContents", "Contents..."), &QAction::triggered, &controller_,
            &TMainController::Help);
    connect(AddAction(help, "mmiFAQ", "FAQ"), &QAction::triggered, &controller_,
            &TMainController::OpenFaq);
    connect(AddAction(help, "mmiTroubleshooting", "Troubleshooting"), &QAction::triggered,
            &controller_, &TMainController::OpenTroubleshooting);
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
    connect(add("btnEmail", "Email file "), &QToolButton::clicked, this,
            [this] { controller_.Run(FileCommand::EmailFile); });
    connect(add("btnSettings", "Settings"), &QToolButton::clicked, this,
            &TfmPelmUsb::SettingsCommand);
    connect(add("btnHide", "Hide"), &QToolButton::clicked, this, &TfmPelmUsb::HideToTray);
    connect(add("btnHelp", "Help"), &QToolButton::clicked, &controller_, &TMainController::Help);
    speedButton1_ = add("SpeedButton1", QString());
    speedButton1_->setAccessibleName("External tool");
    connect(speedButton1_, &QToolButton::clicked, &controller_, &TMainController::RunExternalTool);
    layout->addStretch(1);
    auto* record = add("btnRecord", "Record");
    record->setCheckable(true);
    connect(record, &QToolButton::clicked, this, [this, record] {
        // The button shows the call state, not the click.
        record->setChecked(controller_.CallActive());
        controller_.Record();
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

// ---------------------------------------------------------------------------------------------
// Showing the controller's state

void TfmPelmUsb::RefreshActions() {
    auto enable = [this](const QString& name, bool on) {
        if (QAction* a = Action(name)) a->setEnabled(on);
    };
    for (const FileItem& item : kFileItems)
        if (item.Name) enable(item.Name, controller_.Enabled(item.Command));
    for (int i = 0; i < TMainController::kTreeItems; ++i)
        enable(QString("mmiTree%1").arg(i), controller_.TreeItemEnabled(i));
    for (const PlayerItem& item : kPlayerItems)
        enable(item.Name, controller_.Enabled(item.Command));
    enable("mmiRecord", controller_.RecordEnabled());
    enable("mmiSettings", controller_.SettingsEnabled());
    if (QToolButton* b = ToolbarButton("btnSettings")) b->setEnabled(controller_.SettingsEnabled());
    if (QToolButton* b = ToolbarButton("btnEmail"))
        b->setEnabled(controller_.Enabled(FileCommand::EmailFile));
    if (QToolButton* b = ToolbarButton("btnRecord")) b->setEnabled(controller_.RecordEnabled());
}

void TfmPelmUsb::SetRecordDown(bool down) {
    if (QToolButton* b = ToolbarButton("btnRecord")) b->setChecked(down);
    if (QAction* a = Action("mmiRecord")) a->setChecked(down);
}

TCallsGrid* TfmPelmUsb::ActiveGrid() const {
    return controller_.ActiveGrid() == TMainController::Grid::Logger ? gdLogger_ : gdSearch_;
}

void TfmPelmUsb::ShowViewState(int view) {
    switch (view) {
        case vLogger:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(tsLogger_);
            break;
        case vSearch:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(tsSearch_);
            break;
        case vMonitor:
            pageControl_->setCurrentWidget(monitor_);
            break;
        case vAlarms:
            pageControl_->setCurrentWidget(tsAlarms_);
            break;
    }
    for (int i = 0; i < 4; ++i)
        if (QAction* a = Action(QString("mmi") + kViewNames[i])) a->setChecked(i == view);
    outlookBar_->SetSelected(view);
}

void TfmPelmUsb::ToggleToolbar(bool on) {
    panel9_->setVisible(on);
    Action("mmiToolbar")->setChecked(on);
    controller_.SetToolbarShown(on);
}

void TfmPelmUsb::ToggleStatusBar(bool on) {
    statusBar()->setVisible(on);
    Action("mmiStatusBar")->setChecked(on);
    controller_.SetStatusBarShown(on);
}

void TfmPelmUsb::RefreshStatusBar() {
    statusPanels_[1]->setText(controller_.RecordsText());
    statusPanels_[2]->setText(controller_.UsedSpaceText());
}

void TfmPelmUsb::SetUpExternalTool() {
    const TMainController::ExternalToolCaptions tool = controller_.ExternalTool();
    QAction* item = Action("mmiExternalTool");
    item->setText(tool.Item);
    item->setVisible(tool.Visible);
    speedButton1_->setText(tool.Button);
    speedButton1_->setVisible(tool.Visible);
}

// ---------------------------------------------------------------------------------------------
// Commands that belong to the window

void TfmPelmUsb::HideToTray() {
    if (trayAvailable_)
        hide();
    else
        showMinimized();  // no tray to come back from: keep the window reachable
}

void TfmPelmUsb::ShowRestored() {
    showNormal();
    raise();
    activateWindow();
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
    LoadGridWidths(gdLogger_, TMainController::Grid::Logger);
    LoadGridWidths(gdSearch_, TMainController::Grid::Search);
    loadingWidths_ = false;
}

void TfmPelmUsb::LoadGridWidths(QTableView* grid, TMainController::Grid which) {
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int n = 0; n < columns; ++n)
        grid->setColumnWidth(n, controller_.StoredColumnWidth(which, n, grid->columnWidth(n)));
}

std::vector<int> TfmPelmUsb::ColumnWidths(QTableView* grid) {
    std::vector<int> widths;
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int n = 0; n < columns; ++n) widths.push_back(grid->columnWidth(n));
    return widths;
}

// ---------------------------------------------------------------------------------------------
// Show, activation, keys and closing

void TfmPelmUsb::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!controller_.Shown) {
        if (!controller_.AskAccessAtFirstShow()) return;
        controller_.Shown = true;
        if (tree_->model() && tree_->model()->rowCount() > 0)
            tree_->setCurrentIndex(tree_->model()->index(0, 0));
    }
    controller_.Channels().RefreshTilesOnShow();
    monitor_->Sync(controller_.Channels());
    statusPanels_[0]->setText(CoreTexts::kModelDemo);
    RefreshStatusBar();
    PlaceProgressBar();
    controller_.Timer2()->start();
    if (!controller_.InstructionsDone) QTimer::singleShot(0, this, &TfmPelmUsb::FirstActivation);
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
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !controller_.InstructionsDone)
        FirstActivation();
}

void TfmPelmUsb::FirstActivation() {
    if (controller_.InstructionsDone || !isVisible()) return;
    if (!controller_.TakeInstructions()) return;
    auto* dlg = new TfmInstructions(this);
    dlg->setObjectName("fmInstructions");
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    connect(dlg, &QDialog::finished, this,
            [this, dlg] { controller_.InstructionsClosed(dlg->DontShowAgain()->isChecked()); });
    dlg->open();
}

void TfmPelmUsb::keyPressEvent(QKeyEvent* e) {
    if (controller_.DeveloperKey(e->key(), e->modifiers())) return;
    QMainWindow::keyPressEvent(e);
}

bool TfmPelmUsb::eventFilter(QObject* watched, QEvent* event) {
    // The two call grids pass every key to the window first.
    if (event->type() == QEvent::KeyPress && gdLogger_ && gdSearch_ &&
        (watched == gdLogger_ || watched == gdSearch_ || watched == gdLogger_->viewport() ||
         watched == gdSearch_->viewport())) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (controller_.DeveloperKey(key->key(), key->modifiers())) return true;
    }
    if (event->type() == QEvent::Resize && !statusPanels_.isEmpty() && watched == statusPanels_[3])
        PlaceProgressBar();
    return QMainWindow::eventFilter(watched, event);
}

void TfmPelmUsb::closeEvent(QCloseEvent* e) {
    if (!controller_.CanExit) {
        e->ignore();
        HideToTray();
        return;
    }
    TMainController::Layout layout;
    layout.Geometry = normalGeometry().isValid() ? normalGeometry() : geometry();
    layout.Panel13Width = panel13_->width();
    layout.Panel2Height = panel2_->height();
    layout.Volume = tbrVolume_->value();
    layout.LoggerWidths = ColumnWidths(gdLogger_);
    layout.SearchWidths = ColumnWidths(gdSearch_);
    controller_.Close(layout);
    e->accept();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
