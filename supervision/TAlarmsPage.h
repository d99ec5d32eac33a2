// The Alarms page of the main window: the list of alarms ("Time", "Alarm type", "Message") over
// the Alarms table, "Stop alarm" and "Clear Messages", and three hidden buttons that raise sample
// alarms. The page shows and forwards: its buttons are signals, and `shown` tells that the page
// came into view. Main thread only.
#pragma once

#include <QWidget>
#include <vector>

#include "TDatasetModel.h"

class QPushButton;
class QTableView;

class TAlarmsPage : public QWidget {
    Q_OBJECT
public:
    explicit TAlarmsPage(QWidget* parent = nullptr);

    QTableView* Grid() const { return grid_; }
    QPushButton* StopAlarmButton() const { return stop_; }
    QPushButton* ClearButton() const { return clear_; }
    // "Call overtime", "Hardware fail", "Software error" (hidden).
    QPushButton* SampleButton(int index) const { return samples_[static_cast<size_t>(index)]; }
    // The grid's columns: title, field, width.
    static std::vector<TDatasetModel::Column> AlarmColumns();

signals:
    void shown();
    void stopAlarmClicked();
    void clearMessagesClicked();
    void overtimeSampleClicked();
    void hardwareSampleClicked();
    void softwareSampleClicked();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QTableView* grid_;
    QPushButton* stop_;
    QPushButton* clear_;
    std::vector<QPushButton*> samples_;
};
