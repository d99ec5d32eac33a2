// The main window: tool bar, navigation bar with four views, menus, status bar and tray icon.
// It shows the state of its controller (TMainController) and forwards the user's commands to
// it; what the commands do lives there.
#pragma once

#include <QMainWindow>

#include "TMainController.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSlider;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QTableView;
class QTimer;
class QToolButton;
class TCallsGrid;
class TFolderTreeView;
class TMonitorPage;
class TNavigationBar;

class TfmPelmUsb : public QMainWindow {
    Q_OBJECT
public:
    enum View {
        vLogger = TMainController::vLogger,
        vSearch = TMainController::vSearch,
        vMonitor = TMainController::vMonitor,
        vAlarms = TMainController::vAlarms
    };

    explicit TfmPelmUsb(TMainController& controller, QWidget* parent = nullptr);
    ~TfmPelmUsb() override;

    TMainController& Controller() const { return controller_; }
    TPasswordCheck& Passwords() { return controller_.Passwords(); }

    // Commands (the same as the menu items and buttons).
    void ShowView(int view) { controller_.ShowView(view); }
    int CurrentView() const { return controller_.CurrentView(); }
    void ExitProgram() { controller_.Exit(); }
    void Restore() { controller_.Restore(); }
    void HideToTray();
    void SettingsCommand() { controller_.Settings(); }
    void SessionEnding() { controller_.SessionEnding(); }
    void Timer1Timer() { controller_.Timer1Timer(); }
    void Timer2Timer() { controller_.Timer2Timer(); }
    QTimer* Timer1() const { return controller_.Timer1(); }
    QTimer* Timer2() const { return controller_.Timer2(); }

    // Widgets the other layers fill and tests reach.
    TCallsGrid* gdLogger() const { return gdLogger_; }
    TCallsGrid* gdSearch() const { return gdSearch_; }
    TCallsGrid* ActiveGrid() const;
    TFolderTreeView* tree() const { return tree_; }
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
    void ShowViewState(int view);
    void RefreshActions();
    void RefreshStatusBar();
    void SetUpExternalTool();
    void ToggleToolbar(bool on);
    void ToggleStatusBar(bool on);
    void ShowAbout();
    void ShowRestored();
    void LoadGridWidths(QTableView* grid, TMainController::Grid which);
    static std::vector<int> ColumnWidths(QTableView* grid);
    void FirstActivation();
    void PlaceProgressBar();
    void EndWhenMessagesClosed();
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& key = QKeySequence());

    TMainController& controller_;
    bool loadingWidths_ = false;
    bool trayAvailable_ = false;

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
    QSplitter* splitter_ = nullptr;
    QWidget* scrollBox1_ = nullptr;
    QSlider* tbrVolume_ = nullptr;
    TCallsGrid* gdLogger_ = nullptr;
    TCallsGrid* gdSearch_ = nullptr;
    TFolderTreeView* tree_ = nullptr;
    QList<QLabel*> statusPanels_;
    QProgressBar* progress_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
};
