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
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "CoreTexts.h"
#include "TChannelTable.h"
#include "TFolderTreeView.h"
#include "TMessages.h"
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

}  // namespace

TfmPelmUsb::TfmPelmUsb(TMainController& controller, TMainPages pages, QWidget* parent)
    : QMainWindow(parent), controller_(controller), pages_(pages) {
    setObjectName("fmPelmUsb");
    setWindowTitle(CoreTexts::kAppTitle);
    setWindowIcon(TPictures::AppIcon());
    setMinimumSize(700, 645);

    BuildPages();
    BuildMenus();
    BuildToolbar();
    connect(pages_.Player, &TPlayerPanel::recordClicked, this,
            [this] { RecordClicked(pages_.Player->RecordButton()); });
    statusBar_ = new TMainStatusBar(this);
    setStatusBar(statusBar_);

    // Geometry and the panels' sizes.
    const TMainController::Layout layout = controller_.StoredLayout();
    setGeometry(layout.Geometry);
    pages_.Logger->SetTreeWidth(layout.Panel13Width, layout.Geometry.width());
    pages_.Player->setFixedHeight(
        std::max(layout.Panel2Height, pages_.Player->minimumSizeHint().height()));

    // The grids' context menus and their delete key.
    for (TCallsGrid* grid : {gdLogger(), gdSearch()}) {
        grid->SetContextActions(
            {Action("mmiMemo"), Action("mmiDelete"), Action("mmiMoveTo"), Action("mmiCopyTo")},
            {Action("mmiEmail")});
        connect(grid, &TCallsGrid::deleteRequested, this,
                [this] { controller_.Run(FileCommand::DeleteFiles); });
    }

    // Column widths.
    LoadGridLayout();
    connect(gdLogger()->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) controller_.LoggerWidthsChanged = true;
    });
    connect(gdSearch()->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!loadingWidths_) controller_.SearchWidthsChanged = true;
    });

    // External tool, volume, the Logger view.
    SetUpExternalTool();
    tbrVolume()->setValue(layout.Volume);
    connect(&controller_, &TMainController::viewChanged, this, &TfmPelmUsb::ShowViewState);
    connect(&controller_, &TMainController::commandsChanged, this, &TfmPelmUsb::RefreshActions);
    controller_.ShowView(vLogger);
    tree()->setFocus();

    // Tool bar and status bar.
    const bool toolbar = controller_.ToolbarShown();
    const bool statusBar = controller_.StatusBarShown();
    toolbar_->setVisible(toolbar);
    Action("mmiToolbar")->setChecked(toolbar);
    this->statusBar()->setVisible(statusBar);
    Action("mmiStatusBar")->setChecked(statusBar);

    pages_.Monitor->BuildMonitorTiles(controller_.Channels());

    // The playback device.
    if (QMediaDevices::audioOutputs().isEmpty()) ShowMessage(CoreTexts::kNoSoundCard);

    BuildTray();
    connect(&controller_, &TMainController::statusChanged, this, &TfmPelmUsb::RefreshStatusBar);
    connect(&controller_, &TMainController::monitorChanged, this,
            [this] { pages_.Monitor->Sync(controller_.Channels()); });
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
    connect(record, &QAction::triggered, this, [this, record] { RecordClicked(record); });

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
    toolbar_ = new TMainToolbar(this);
    connect(toolbar_, &TMainToolbar::emailClicked, this,
            [this] { controller_.Run(FileCommand::EmailFile); });
    connect(toolbar_, &TMainToolbar::settingsClicked, this, &TfmPelmUsb::SettingsCommand);
    connect(toolbar_, &TMainToolbar::hideClicked, this, &TfmPelmUsb::HideToTray);
    connect(toolbar_, &TMainToolbar::helpClicked, &controller_, &TMainController::Help);
    connect(toolbar_, &TMainToolbar::toolClicked, &controller_, &TMainController::RunExternalTool);
    // The tool bar sits above the page area.
    auto* central = centralWidget();
    auto* outer = new QWidget(this);
    auto* v = new QVBoxLayout(outer);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(toolbar_);
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
    ts1_ = new QWidget(pageControl_);
    ts1_->setObjectName("ts1");
    auto* v = new QVBoxLayout(ts1_);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(pages_.Player);
    innerPages_ = new QStackedWidget(ts1_);
    v->addWidget(innerPages_, 1);
    innerPages_->addWidget(pages_.Logger);
    innerPages_->addWidget(pages_.Search);
    pageControl_->addWidget(ts1_);

    pages_.Monitor->setObjectName("ts2");
    pageControl_->addWidget(pages_.Monitor);
    pageControl_->addWidget(pages_.Alarms);
    setCentralWidget(body);
}

void TfmPelmUsb::BuildTray() {
    trayAvailable_ = QSystemTrayIcon::isSystemTrayAvailable();
    tray_ = new TMainTray(this);
    connect(tray_, &TMainTray::restoreRequested, this, &TfmPelmUsb::Restore);
    connect(tray_, &TMainTray::exitRequested, this, &TfmPelmUsb::ExitProgram);
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
    ToolbarButton("btnSettings")->setEnabled(controller_.SettingsEnabled());
    ToolbarButton("btnEmail")->setEnabled(controller_.Enabled(FileCommand::EmailFile));
    pages_.Player->RecordButton()->setEnabled(controller_.RecordEnabled());
}

// The Record button and menu item show the call state, not the click.
void TfmPelmUsb::RecordClicked(QObject* item) {
    if (auto* b = qobject_cast<QToolButton*>(item)) b->setChecked(controller_.CallActive());
    if (auto* a = qobject_cast<QAction*>(item)) a->setChecked(controller_.CallActive());
    controller_.Record();
}

void TfmPelmUsb::SetRecordDown(bool down) {
    pages_.Player->SetRecordDown(down);
    if (QAction* a = Action("mmiRecord")) a->setChecked(down);
}

TCallsGrid* TfmPelmUsb::ActiveGrid() const {
    return controller_.ActiveGrid() == TMainController::Grid::Logger ? gdLogger() : gdSearch();
}

void TfmPelmUsb::ShowViewState(int view) {
    switch (view) {
        case vLogger:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(pages_.Logger);
            break;
        case vSearch:
            pageControl_->setCurrentWidget(ts1_);
            innerPages_->setCurrentWidget(pages_.Search);
            break;
        case vMonitor:
            pageControl_->setCurrentWidget(pages_.Monitor);
            break;
        case vAlarms:
            pageControl_->setCurrentWidget(pages_.Alarms);
            break;
    }
    for (int i = 0; i < 4; ++i)
        if (QAction* a = Action(QString("mmi") + kViewNames[i])) a->setChecked(i == view);
    outlookBar_->SetSelected(view);
}

void TfmPelmUsb::ToggleToolbar(bool on) {
    toolbar_->setVisible(on);
    Action("mmiToolbar")->setChecked(on);
    controller_.SetToolbarShown(on);
}

void TfmPelmUsb::ToggleStatusBar(bool on) {
    statusBar()->setVisible(on);
    Action("mmiStatusBar")->setChecked(on);
    controller_.SetStatusBarShown(on);
}

void TfmPelmUsb::RefreshStatusBar() {
    StatusPanel(1)->setText(controller_.RecordsText());
    StatusPanel(2)->setText(controller_.UsedSpaceText());
}

void TfmPelmUsb::SetUpExternalTool() {
    const TMainController::ExternalToolCaptions tool = controller_.ExternalTool();
    QAction* item = Action("mmiExternalTool");
    item->setText(tool.Item);
    item->setVisible(tool.Visible);
    SpeedButton1()->setText(tool.Button);
    SpeedButton1()->setVisible(tool.Visible);
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
    LoadGridWidths(gdLogger(), TMainController::Grid::Logger);
    LoadGridWidths(gdSearch(), TMainController::Grid::Search);
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
        if (tree()->model() && tree()->model()->rowCount() > 0)
            tree()->setCurrentIndex(tree()->model()->index(0, 0));
    }
    controller_.Channels().RefreshTilesOnShow();
    pages_.Monitor->Sync(controller_.Channels());
    StatusPanel(0)->setText(CoreTexts::kModelDemo);
    RefreshStatusBar();
    statusBar_->PlaceProgressBar();
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
    if (event->type() == QEvent::KeyPress &&
        (watched == gdLogger() || watched == gdSearch() || watched == gdLogger()->viewport() ||
         watched == gdSearch()->viewport())) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (controller_.DeveloperKey(key->key(), key->modifiers())) return true;
    }
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
    layout.Panel13Width = pages_.Logger->TreeWidth();
    layout.Panel2Height = pages_.Player->height();
    layout.Volume = tbrVolume()->value();
    layout.LoggerWidths = ColumnWidths(gdLogger());
    layout.SearchWidths = ColumnWidths(gdSearch());
    controller_.Close(layout);
    e->accept();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
