// The Alarms page of the main window. It holds the alarm list and its buttons once the alarm
// queue is built; until then the page is empty.
#pragma once

#include <QWidget>

class TAlarmsPage : public QWidget {
    Q_OBJECT
public:
    explicit TAlarmsPage(QWidget* parent = nullptr);
};
