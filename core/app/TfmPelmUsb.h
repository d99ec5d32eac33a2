// The main window: tool bar, navigation bar with four views, menus, status bar and tray icon.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include "TMainHooks.h"
#include "TPasswordCheck.h"
#include "VolgaTypes.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSlider;
class QStackedWidget;
class QSystemTrayIcon;
class QTableView;
class QTimer;
class QToolButton;
class QTreeView;
class TMonitorPage;
class TNavigationBar;
class TPelmGlobals;
class TChannelTable;
class TCallsGrid;
class TFolderTreeView;
class TLiveSettings;
class QWidget;

class TfmPelmUsb : public QMainWindow {
    Q_OBJECT
public:
    enum View { vLogger = 0, vSearch = 1, vMonitor = 2, vAlarms = 3 };

    // `args`: the command line without the program name.
    TfmPelmUsb(TPelmGlobals& globals, TChannelTable& channels, TLiveSettings& settings,
               const QStringList& args, QWidget* parent = nullptr);
    ~TfmPelmUsb() override;

    void SetHooks(const TMainHooks& hooks);
    const TMainHooks& Hooks() const { return hooks_; }
    // The password check of the guarded commands; the program plugs its prompt in.
    TPasswordCheck& Passwords() { return passwords_; }
    // Lines to log once the event log exists (stores that were set aside).
    QStringList StartupNotes;

    // Commands.
    void ShowView(int view);
    int CurrentView() const { return view_; }
    void ExitProgram();  // CanExit := true, then close
    void Restore();      // tray restore / second start
    void HideToTray();
    void SettingsCommand();
    void HelpCommand();
    void RunExternalTool();
    void SetUpExternalTool();
    void ToggleToolbar(bool on);
    void ToggleStatusBar(bool on);
    void ShowAbout();
    // Session end: the system asks to log off or shut down.
    void SessionEnding();
    // The access password before the window is first shown (once per run). False when it was
    // wrong: the message is shown and the program ends once the message has been closed.
    bool AskAccessAtFirstShow();

    // Lifecycle flags.
    bool CanExit = false;
    bool FirstTick = true;
    bool Shown = false;
    bool InstructionsDone = false;
    bool LoggerWidthsChanged = false;
    bool SearchWidthsChanged = false;
    bool TreeChanged = false;
    TDateTime LastDbBackup = 0;
    bool PrintItemsAllowed() const { return printAllowed_; }

    // Widgets the other layers fill and tests reach.
    TCallsGrid* gdLogger() const { return gdLogger_; }
    TCallsGrid* gdSearch() const { return gdSearch_; }
    TCallsGrid* ActiveGrid() const { return activeGrid_; }
    TFolderTreeView* tree() const { return tree_; }
    // Enables or disables an item of the Tree menu (0 Add node .. 8 Collapse all).
    void SetTreeItemEnabled(int item, bool on);
    // The Record button down and the "Record" menu item checked while a call runs.
    void SetRecordDown(bool down);
    QWidget* Panel2() const { return panel2_; }
    QWidget* Panel9() const { return panel9_; }
    QWidget* Panel13() const { return panel13_; }
    QWidget* ScrollBox1() const { return scrollBox1_; }
    QWidget* tsAlarms() const { return tsAlarms_; }
    QSlider* tbrVolume() const { return tbrVolume_; }
    QProgressBar* ProgressBar() const { return progress_; }
    QStatusBar* StatusBar1() const;
    QLabel* StatusPanel(int i) const;
    TMonitorPage* Monitor() const { return monitor_; }
    TNavigationBar* OutlookBar1() const { return outlookBar_; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    QAction* Action(const QString& objectName) const;
    QToolButton* SpeedButton1() const { return speedButton1_; }
    QToolButton* ToolbarButton(const QString& objectName) const;
    QTimer* Timer1() const { return timer1_; }
    QTimer* Timer2() const { return timer2_; }
    bool DeveloperMode() const { return developer_; }

    // Timer handlers (public for tests that step time).
    void Timer1Timer();
    void Timer2Timer();
    void RefreshStatusBar();
    // Reads the grids' column widths (after their models are set).
    void LoadGridLayout();

signals:
    void logWindowRequested();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildPages();
    void BuildStatusBar();
    void BuildTray();
    void RefreshActions();
    void LoadGridWidths(QTableView* grid, const QString& section);
    void SaveGridWidths(QTableView* grid, const QString& section);
    void FormClose();
    void FirstActivation();
    void PlaceProgressBar();
    bool HandleDeveloperKey(QKeyEvent* e);
    void EndWhenMessagesClosed();
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& key = QKeySequence());

    TPelmGlobals& globals_;
    TChannelTable& channels_;
    TLiveSettings& settings_;
    QStringList args_;
    TMainHooks hooks_;
    TPasswordCheck passwords_;
    bool developer_ = false;
    bool startupMode_ = false;
    bool closed_ = false;
    bool accessAsked_ = false;
    bool loadingWidths_ = false;
    bool trayAvailable_ = false;
    int view_ = vLogger;
    bool printAllowed_ = true;

    QWidget* panel9_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    TNavigationBar* outlookBar_ = nullptr;
    QStackedWidget* pageControl_ = nullptr;
    QWidget* ts1_ = nullptr;
    QStackedWidget* innerPages_ = nullptr;
    QWidget* tsLogger_ = nullptr;
    QWidget* tsSearch_ = nullptr;
    TMonitorPage* monitor_ = nullptr;
    QWidget* tsAlarms_ = nullptr;
    QWidget* panel2_ = nullptr;
    QWidget* panel13_ = nullptr;
    class QSplitter* splitter_ = nullptr;
    QWidget* scrollBox1_ = nullptr;
    QSlider* tbrVolume_ = nullptr;
    TCallsGrid* gdLogger_ = nullptr;
    TCallsGrid* gdSearch_ = nullptr;
    TCallsGrid* activeGrid_ = nullptr;
    TFolderTreeView* tree_ = nullptr;
    bool treeItemEnabled_[9] = {true, true, true, true, true, true, true, true, true};
    QList<QLabel*> statusPanels_;
    QProgressBar* progress_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
};
