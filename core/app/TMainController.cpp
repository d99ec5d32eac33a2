#include "TMainController.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "CoreTexts.h"
#include "ICallRecorder.h"
#include "ISupervision.h"
#include "ITreeActions.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TExternalTool.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TShell.h"

namespace {

QString ColumnKey(const QString& section, int column) {
    return section + ".columns[" + QString::number(column) + "]";
}

QString GridSection(ICallGrids::Grid grid) {
    return grid == ICallGrids::Grid::Logger ? "dbGrid2" : "dbGrid1";
}

}  // namespace

TMainController::TMainController(TPelmGlobals& globals, TChannelTable& channels,
                                 TLiveSettings& settings, const QStringList& args, QObject* parent)
    : QObject(parent),
      globals_(globals),
      channels_(channels),
      settings_(settings),
      passwords_(globals.SettingsRegistry) {
    const QString first = args.isEmpty() ? QString() : args.first().toUpper();
    developer_ = first == "KUDOX";
    startupMode_ = first == "STARTUP";

    StartupNotes = globals_.OpenStores();
    TIniFile& ini = globals_.SettingsIni;
    const TDateTime today = std::floor(NowDateTime());
    if (ini.ValueExists("Backup", "backupDate")) {
        LastDbBackup = ini.ReadDateTime("Backup", "backupDate", today);
    } else {
        LastDbBackup = today;
        // Nothing is written when the start ends for want of a data folder.
        if (!globals_.StartupAbort) ini.WriteDateTime("Backup", "backupDate", today);
    }
    channels_.InitChannels(2);

    timer1_ = new QTimer(this);
    timer1_->setInterval(100);
    connect(timer1_, &QTimer::timeout, this, &TMainController::Timer1Timer);
    timer2_ = new QTimer(this);
    timer2_->setInterval(1000);
    connect(timer2_, &QTimer::timeout, this, &TMainController::Timer2Timer);
}

TMainController::~TMainController() = default;

// ---------------------------------------------------------------------------------------------
// Features

void TMainController::SetFileActions(IFileActions* actions) {
    fileActions_ = actions;
    emit commandsChanged();
}

void TMainController::SetPlayer(IPlayer* player) {
    player_ = player;
    emit commandsChanged();
}

void TMainController::SetTree(ITreeActions* tree) {
    tree_ = tree;
    emit commandsChanged();
}

void TMainController::SetSupervision(ISupervision* supervision) {
    supervision_ = supervision;
    emit commandsChanged();
}

void TMainController::SetRecorder(ICallRecorder* recorder) {
    recorder_ = recorder;
    emit commandsChanged();
}

void TMainController::SetGrids(ICallGrids* grids) {
    grids_ = grids;
}

// ---------------------------------------------------------------------------------------------
// Views and enabled states

void TMainController::ShowView(int view) {
    if (view < vLogger || view > vAlarms) return;
    view_ = view;
    if (view == vLogger) activeGrid_ = Grid::Logger;
    if (view == vSearch) activeGrid_ = Grid::Search;
    printAllowed_ = view == vLogger || view == vSearch;
    emit viewChanged(view);
    emit commandsChanged();
    const bool playing = player_ && player_->Playing();
    if (!playing && fileActions_) fileActions_->UpdateFileActions();
}

bool TMainController::Enabled(IFileActions::Command command) const {
    using C = IFileActions::Command;
    if (!fileActions_ || !fileActions_->Provides(command)) return false;
    return printAllowed_ || (command != C::PrintPreview && command != C::Print);
}

bool TMainController::Enabled(IPlayer::Command command) const {
    return player_ && player_->Provides(command);
}

bool TMainController::TreeItemEnabled(int item) const {
    return tree_ && item >= 0 && item < kTreeItems && treeItemEnabled_[item];
}

void TMainController::SetTreeItemEnabled(int item, bool on) {
    if (item < 0 || item >= kTreeItems) return;
    treeItemEnabled_[item] = on;
    emit commandsChanged();
}

bool TMainController::CallActive() const {
    return recorder_ && recorder_->CallActive();
}

// ---------------------------------------------------------------------------------------------
// Commands

void TMainController::Run(IFileActions::Command command) {
    if (Enabled(command)) fileActions_->Run(command);
}

void TMainController::Run(IPlayer::Command command) {
    if (Enabled(command)) player_->Run(command);
}

void TMainController::TreeAction(int item) {
    if (tree_) tree_->Action(item);
}

void TMainController::Record() {
    if (recorder_) recorder_->Record();
}

void TMainController::Settings() {
    if (!supervision_) return;
    if (!passwords_.Check(TPasswordCheck::Kind::Administrator)) {
        ShowMessage(CoreTexts::kPasswordFailed);
        return;
    }
    supervision_->ShowConfig();
    emit externalToolChanged();
}

void TMainController::Restore() {
    if (!passwords_.Check(TPasswordCheck::Kind::Access)) {
        ShowMessage(CoreTexts::kPasswordFailed);
        return;
    }
    Shown = true;
    emit showRequested();
}

void TMainController::Exit() {
    CanExit = true;
    emit closeRequested();
}

void TMainController::SessionEnding() {
    Exit();
}

void TMainController::ReportShellResult(int result) const {
    if (result > 32) return;
    const QString text = ShellErrorText(result);
    if (!text.isEmpty()) ShowMessage(text);
}

const char* const TMainController::kInstalledHelpDir = PELM_INSTALLED_HELP_DIR;

QString TMainController::HelpDir() const {
    const QString installed =
        QDir::cleanPath(QDir(globals_.ProgramDir).filePath(QString::fromUtf8(kInstalledHelpDir)));
    if (QFileInfo(installed + "/index.html").isFile()) return installed;
    return globals_.ProgramDir + "/help";
}

void TMainController::Help() {
    ReportShellResult(TShell::Instance().OpenDocument(HelpDir() + "/index.html"));
}

void TMainController::OpenFaq() {
    TShell::Instance().OpenDocument(HelpDir() + "/faq.html");
}

void TMainController::OpenTroubleshooting() {
    TShell::Instance().OpenDocument(HelpDir() + "/troubleshooting.html");
}

TMainController::ExternalToolCaptions TMainController::ExternalTool() const {
    const TIniFile& ini = globals_.SettingsIni;
    if (!ini.ReadBool("External tool", "ToolEnable", false)) return {};
    const QString caption = ini.ReadString("External tool", "caption", CoreTexts::kCaptionNotFound);
    return {true, caption, TExternalTool::ButtonCaption(caption)};
}

void TMainController::RunExternalTool() {
    const TIniFile& ini = globals_.SettingsIni;
    const QString fileName = grids_ ? grids_->CurrentFileName(activeGrid_) : QString();
    auto run = TExternalTool::Build(ini.ReadString("External tool", "comLine", QString()),
                                    ini.ReadString("External tool", "Executable", QString()),
                                    settings_.edtFolder, fileName);
    if (!run) return;
    ReportShellResult(TShell::Instance().Run(run->Executable, run->Args, run->WorkDir));
}

bool TMainController::DeveloperKey(int key, Qt::KeyboardModifiers modifiers) {
    if (!developer_ || modifiers != Qt::AltModifier) return false;
    switch (key) {
        case Qt::Key_2:
            emit logWindowRequested();
            return true;
        case Qt::Key_3:
            if (!supervision_) return true;
            if (!passwords_.Check(TPasswordCheck::Kind::Administrator)) {
                ShowMessage(CoreTexts::kDeveloperPasswordFailed);
                return true;
            }
            supervision_->ShowConfig();
            emit externalToolChanged();
            return true;
        case Qt::Key_4:
            if (supervision_) supervision_->ShowDatabaseWindow();
            return true;
        case Qt::Key_5:
            if (supervision_) supervision_->ShowTestsWindow();
            return true;
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Show and first activation

bool TMainController::AskAccessAtFirstShow() {
    if (accessAsked_) return true;
    accessAsked_ = true;
    if (passwords_.Check(TPasswordCheck::Kind::Access)) return true;
    ShowMessage(CoreTexts::kPasswordFailed);
    CanExit = true;
    emit accessRefused();
    return false;
}

bool TMainController::TakeInstructions() {
    if (InstructionsDone) return false;
    InstructionsDone = true;
    TIniFile& ini = globals_.SettingsIni;
    if (!ini.ValueExists("General", "demoInstructions")) {
        ini.WriteBool("General", "demoInstructions", true);
        return true;
    }
    return ini.ReadBool("General", "demoInstructions", true);
}

void TMainController::InstructionsClosed(bool dontShowAgain) {
    if (dontShowAgain) globals_.SettingsIni.WriteBool("General", "demoInstructions", false);
}

// ---------------------------------------------------------------------------------------------
// Status bar, layout and bars

QString TMainController::RecordsText() const {
    const int count = grids_ ? grids_->RecordCount(activeGrid_) : 0;
    return CoreTexts::kRecords + QString::number(count);
}

QString TMainController::UsedSpaceText() const {
    const double mb = globals_.UsedSpaceKb.load() / 1024.0;
    return CoreTexts::kHardDiskUsed + QString::number(mb, 'f', 2) + CoreTexts::kMb;
}

TMainController::Layout TMainController::StoredLayout() const {
    const TIniFile& ini = globals_.SettingsIni;
    Layout l;
    const int top = ini.ReadInteger("fmPelmUsb", "Top", 57);
    const int left = ini.ReadInteger("fmPelmUsb", "Left", 257);
    const int width = ini.ReadInteger("fmPelmUsb", "width", 949);
    const int height = ini.ReadInteger("fmPelmUsb", "height", 726);
    l.Geometry = QRect(left, top, std::max(width, 700), std::max(height, 645));
    l.Panel13Width = std::max(0, ini.ReadInteger("fmPelmUsb", "panel13Width", 170));
    l.Panel2Height = std::max(0, ini.ReadInteger("fmPelmUsb", "panel2Height", 155));
    l.Volume = std::clamp(ini.ReadInteger("General", "Volume", 2), 0, 16);
    return l;
}

int TMainController::StoredColumnWidth(Grid grid, int column, int designWidth) const {
    const QString section = GridSection(grid);
    return globals_.SettingsIni.ReadInteger(section, ColumnKey(section, column), designWidth);
}

bool TMainController::ToolbarShown() const {
    TIniFile& ini = globals_.SettingsIni;
    if (!ini.ValueExists("General", "Toolbar")) ini.WriteBool("General", "Toolbar", true);
    return ini.ReadBool("General", "Toolbar", true);
}

bool TMainController::StatusBarShown() const {
    TIniFile& ini = globals_.SettingsIni;
    if (!ini.ValueExists("General", "statusBar")) ini.WriteBool("General", "statusBar", true);
    return ini.ReadBool("General", "statusBar", true);
}

void TMainController::SetToolbarShown(bool on) {
    globals_.SettingsIni.WriteBool("General", "Toolbar", on);
}

void TMainController::SetStatusBarShown(bool on) {
    globals_.SettingsIni.WriteBool("General", "statusBar", on);
}

// ---------------------------------------------------------------------------------------------
// Timers

void TMainController::Timer1Timer() {
    if (FirstTick) {
        FirstTick = false;
        if (globals_.SettingsIni.ReadBool("General", "StartUp", false) && startupMode_)
            emit hideRequested();
    }
    if (channels_.MonitorTick()) emit monitorChanged();
}

void TMainController::StoreTree() {
    if (!tree_) return;
    QString error;
    if (!tree_->Store(&error)) ShowMessage(CoreTexts::kErrorTreeToTable + error);
}

void TMainController::Timer2Timer() {
    if (TreeChanged) {
        TreeChanged = false;
        StoreTree();
    }
    if (player_) player_->Tick();
    if (supervision_) {
        supervision_->DrainAlarms();
        supervision_->DbBackupTick();
    }
    emit statusChanged();
}

// ---------------------------------------------------------------------------------------------
// The end

void TMainController::Close(const Layout& layout) {
    if (closed_) return;
    closed_ = true;
    timer1_->stop();
    timer2_->stop();
    if (CallActive()) recorder_->Record();
    StoreTree();
    TIniFile& ini = globals_.SettingsIni;
    bool ok = true;
    try {
        ini.BeginUpdate();
        auto writeWidths = [&ini](Grid grid, const std::vector<int>& widths) {
            const QString section = GridSection(grid);
            for (int n = 0; n < int(widths.size()); ++n)
                ini.WriteInteger(section, ColumnKey(section, n), widths[n]);
        };
        if (LoggerWidthsChanged) writeWidths(Grid::Logger, layout.LoggerWidths);
        if (SearchWidthsChanged) writeWidths(Grid::Search, layout.SearchWidths);
        if (tree_) tree_->Clear();
        LogGeneral(CoreTexts::kClosingProgram);
        if (TEventLog* log = TEventLog::Instance()) ok = log->Save();
        ini.WriteInteger("General", "Volume", layout.Volume);
        ini.WriteInteger("fmPelmUsb", "panel2Height", layout.Panel2Height);
        ini.WriteInteger("fmPelmUsb", "panel13Width", layout.Panel13Width);
        ini.WriteInteger("fmPelmUsb", "Top", layout.Geometry.top());
        ini.WriteInteger("fmPelmUsb", "Left", layout.Geometry.left());
        ini.WriteInteger("fmPelmUsb", "width", layout.Geometry.width());
        ini.WriteInteger("fmPelmUsb", "height", layout.Geometry.height());
        if (!ini.EndUpdate()) ok = false;
    } catch (...) {
        ok = false;
    }
    if (!ok) ShowMessage(CoreTexts::kErrorInFormClose);
}
