// The developer's Tests window ("Tests", not modal): the call simulation for a line source that
// takes test commands (start, stop, its interval in seconds), and three "ok" buttons that start
// a recycling run, start a backup run, and put every call back on the main storage medium. The
// window shows and forwards; the runs and the reset are the program's. Main thread only.
#pragma once

#include <QDialog>
#include <functional>

class QPushButton;
class QSpinBox;
class TChannelTable;
class TTestSimulation;

class TfmTestPelmorant : public QDialog {
    Q_OBJECT
public:
    TfmTestPelmorant(TChannelTable& channels, QWidget* parent = nullptr);

    // "ok" of each row (none set: the button does nothing).
    std::function<void()> RecycleRun;
    std::function<void()> BackupRun;
    std::function<void()> ResetMediumLabels;

    TTestSimulation& Simulation() const { return *simulation_; }
    QPushButton *btnStartTest, *btnStopTest, *btn1, *btn2, *btn3;
    QSpinBox* spnTimer;

    void btnStartTestClick();
    void btnStopTestClick();

private:
    TTestSimulation* simulation_;
};
