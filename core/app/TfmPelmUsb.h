// The main window: tool bar, navigation bar with four views, menus, status bar and tray icon.
// It shows the state of its controller (TMainController) and forwards the user's commands to
// it; what the commands do lives there.
#pragma once

#include <QMainWindow>

#include "TAlarmsPage.h"
#include "TCallsGrid.h"
#include "TLoggerPage.h"
#include "TMainController.h"
#include "TMainPages.h"
#include "TMainStatusBar.h"
#include "TMainToolbar.h"
#include "TMainTray.h"
#include "TMonitorPage.h"
#include "TPlayerPanel.h"
#include "TSearchPage.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QSlider;
class QStackedWidget;
class QSystemTrayIcon;
class QTableView;
class QToolButton;
class TFolderTreeView;
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

    // The window adopts the pages, each built by its own layer.
    TfmPelmUsb(TMainController& controller, TMainPages pages, QWidget* parent = nullptr);
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
    const TMainPages& Pages() const { return pages_; }
    TCallsGrid* gdLogger() const { return pages_.Logger->gdLogger(); }
    TCallsGrid* gdSearch() const { return pages_.Search->gdSearch(); }
    TCallsGrid* ActiveGrid() const;
    TFolderTreeView* tree() const { return pages_.Logger->tree(); }
    // The Record button down and the "Record" menu item checked while a call runs.
    void SetRecordDown(bool down);
    QWidget* Panel2() const { return pages_.Player; }
    QWidget* Panel9() const { return toolbar_; }
    QWidget* Panel13() const { return pages_.Logger->Panel13(); }
    QScrollArea* ScrollBox1() const { return pages_.Search->ScrollBox1(); }
    QWidget* tsAlarms() const { return pages_.Alarms; }
    QSlider* tbrVolume() const { return pages_.Player->tbrVolume(); }
    TPlayerPanel* PlayerPanel() const { return pages_.Player; }
    QProgressBar* ProgressBar() const { return statusBar_->Progress(); }
    QStatusBar* StatusBar1() const { return statusBar_; }
    QLabel* StatusPanel(int i) const { return statusBar_->Panel(i); }
    TMonitorPage* Monitor() const { return pages_.Monitor; }
    TNavigationBar* OutlookBar1() const { return outlookBar_; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    QAction* Action(const QString& objectName) const;
    QToolButton* SpeedButton1() const { return toolbar_->SpeedButton1(); }
    QToolButton* ToolbarButton(const QString& objectName) const {
        return toolbar_->Button(objectName);
    }

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
    void BuildTray();
    void ShowViewState(int view);
    void RefreshActions();
    void RefreshStatusBar();
    void SetUpExternalTool();
    void ToggleToolbar(bool on);
    void ToggleStatusBar(bool on);
    void ShowAbout();
    void ShowRestored();
    void RecordClicked(QObject* item);
    void LoadGridWidths(QTableView* grid, TMainController::Grid which);
    static std::vector<int> ColumnWidths(QTableView* grid);
    void FirstActivation();
    void EndWhenMessagesClosed();
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& key = QKeySequence());

    TMainController& controller_;
    TMainPages pages_;
    bool loadingWidths_ = false;
    bool trayAvailable_ = false;

    TMainToolbar* toolbar_ = nullptr;
    TNavigationBar* outlookBar_ = nullptr;
    QStackedWidget* pageControl_ = nullptr;
    QWidget* ts1_ = nullptr;
    QStackedWidget* innerPages_ = nullptr;
    TMainStatusBar* statusBar_ = nullptr;
    TMainTray* tray_ = nullptr;
};
