// What the main window does, without the window: the session state and its flags, the view in
// front and which commands are enabled, the duties of the two timers, the guarded commands
// (restore, Settings, the developer keys) with their one password check, the external tool and
// help, and the orderly end. The window shows this state and forwards the user's commands; the
// features (file actions, player, folder tree, supervision, the simulated call, the grids) are
// plugged in by the program, and a feature that is not plugged in has its commands disabled.
// Main thread only.
#pragma once

#include <QObject>
#include <QRect>
#include <QStringList>
#include <vector>

#include "ICallGrids.h"
#include "IFileActions.h"
#include "IPlayer.h"
#include "TPasswordCheck.h"
#include "VolgaTypes.h"

class QTimer;
class ICallRecorder;
class ISupervision;
class ITreeActions;
class TChannelTable;
class TLiveSettings;
class TPelmGlobals;

class TMainController : public QObject {
    Q_OBJECT
public:
    enum View { vLogger = 0, vSearch = 1, vMonitor = 2, vAlarms = 3 };
    using Grid = ICallGrids::Grid;
    static constexpr int kTreeItems = 9;

    // The window's layout as stored between runs ("fmPelmUsb", "General"/"Volume", the grids'
    // column widths).
    struct Layout {
        QRect Geometry;
        int Panel13Width = 170;
        int Panel2Height = 155;
        int Volume = 2;
        std::vector<int> LoggerWidths, SearchWidths;
    };
    // The external tool's commands: hidden with empty captions when it is switched off.
    struct ExternalToolCaptions {
        bool Visible = false;
        QString Item, Button;
    };

    // Opens the settings stores and sets up the channel table. `args`: the command line without
    // the program name.
    TMainController(TPelmGlobals& globals, TChannelTable& channels, TLiveSettings& settings,
                    const QStringList& args, QObject* parent = nullptr);
    ~TMainController() override;

    // The features; null takes one out again.
    void SetFileActions(IFileActions* actions);
    void SetPlayer(IPlayer* player);
    void SetTree(ITreeActions* tree);
    void SetSupervision(ISupervision* supervision);
    void SetRecorder(ICallRecorder* recorder);
    void SetGrids(ICallGrids* grids);

    TPelmGlobals& Globals() const { return globals_; }
    TChannelTable& Channels() const { return channels_; }
    // The password check of the guarded commands; the program plugs its prompt in.
    TPasswordCheck& Passwords() { return passwords_; }
    // Lines to log once the event log exists (stores that were set aside).
    QStringList StartupNotes;

    // Lifecycle flags.
    bool CanExit = false;
    bool FirstTick = true;
    bool Shown = false;
    bool InstructionsDone = false;
    bool LoggerWidthsChanged = false;
    bool SearchWidthsChanged = false;
    bool TreeChanged = false;
    TDateTime LastDbBackup = 0;
    bool DeveloperMode() const { return developer_; }

    // Views and the enabled state of the commands.
    void ShowView(int view);
    int CurrentView() const { return view_; }
    Grid ActiveGrid() const { return activeGrid_; }
    bool PrintItemsAllowed() const { return printAllowed_; }
    bool Enabled(IFileActions::Command command) const;
    bool Enabled(IPlayer::Command command) const;
    bool RecordEnabled() const { return recorder_ != nullptr; }
    bool SettingsEnabled() const { return supervision_ != nullptr; }
    bool TreeItemEnabled(int item) const;
    // The tree says which of its items apply to the selected node.
    void SetTreeItemEnabled(int item, bool on);
    bool CallActive() const;

    // Commands.
    void Run(IFileActions::Command command);
    void Run(IPlayer::Command command);
    void TreeAction(int item);
    void Record();
    void Settings();  // behind the administrator password, then the external tool again
    void Restore();   // behind the access password
    void Exit();      // CanExit := true, then the window closes
    void SessionEnding();
    void Help();
    void OpenFaq();
    void OpenTroubleshooting();
    // The folder of the help pages: the installed one (kInstalledHelpDir from the program's
    // folder, e.g. /usr/bin/../share/pelmorant/help) when it holds the contents page, else
    // "help" beside the program, as in the build folder or a copied program folder.
    QString HelpDir() const;
    static const char* const kInstalledHelpDir;
    void RunExternalTool();
    ExternalToolCaptions ExternalTool() const;
    // A key on the window or a call grid: true when it was one of the developer keys.
    bool DeveloperKey(int key, Qt::KeyboardModifiers modifiers);

    // Show and first activation.
    // The access password before the window is first shown (once per run). False when it was
    // wrong: the message is shown, CanExit is set and accessRefused is emitted.
    bool AskAccessAtFirstShow();
    // Whether the first activation shows the Instructions dialog (once per run).
    bool TakeInstructions();
    void InstructionsClosed(bool dontShowAgain);

    // Status bar texts.
    QString RecordsText() const;
    QString UsedSpaceText() const;

    // Stored layout and bars.
    Layout StoredLayout() const;
    int StoredColumnWidth(Grid grid, int column, int designWidth) const;
    bool ToolbarShown() const;
    bool StatusBarShown() const;
    void SetToolbarShown(bool on);
    void SetStatusBarShown(bool on);

    // The 100 ms timer (monitor, the hidden start) and the 1 s timer (tree, player, alarms,
    // database copies, status bar).
    QTimer* Timer1() const { return timer1_; }
    QTimer* Timer2() const { return timer2_; }
    void Timer1Timer();
    void Timer2Timer();

    // The orderly end, once: timers stopped, a running call completed and filed, the tree
    // stored, then the layout and the event log saved as one guarded step.
    void Close(const Layout& layout);

signals:
    void viewChanged(int view);
    void commandsChanged();
    void statusChanged();
    void monitorChanged();
    void externalToolChanged();
    void hideRequested();
    void showRequested();
    void closeRequested();
    void accessRefused();
    void logWindowRequested();

private:
    void ReportShellResult(int result) const;
    void StoreTree();

    TPelmGlobals& globals_;
    TChannelTable& channels_;
    TLiveSettings& settings_;
    TPasswordCheck passwords_;
    IFileActions* fileActions_ = nullptr;
    IPlayer* player_ = nullptr;
    ITreeActions* tree_ = nullptr;
    ISupervision* supervision_ = nullptr;
    ICallRecorder* recorder_ = nullptr;
    ICallGrids* grids_ = nullptr;
    bool developer_ = false;
    bool startupMode_ = false;
    bool accessAsked_ = false;
    bool closed_ = false;
    int view_ = vLogger;
    Grid activeGrid_ = Grid::Logger;
    bool printAllowed_ = true;
    bool treeItemEnabled_[kTreeItems] = {true, true, true, true, true, true, true, true, true};
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
};
