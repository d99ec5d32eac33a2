#include "TAlarmsPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TAlarmsPage::TAlarmsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("tsAlarms");
    setAccessibleName("Alarms");
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel("Alarms", this));
    grid_ = new QTableView(this);
    grid_->setObjectName("gdAlarms");
    grid_->setAccessibleName("Alarms");
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    column->addWidget(grid_, 1);
    auto* buttons = new QHBoxLayout;
    stop_ = new QPushButton("Stop alarm", this);
    stop_->setObjectName("Button2");
    clear_ = new QPushButton("Clear Messages", this);
    clear_->setObjectName("Button3");
    buttons->addWidget(stop_);
    buttons->addWidget(clear_);
    // Sample alarms, for trying the alarm path: kept hidden.
    const char* const samples[][2] = {
        {"Button1", "Call overtime"}, {"Button4", "Hardware fail"}, {"Button5", "Software error"}};
    for (const auto& [name, text] : samples) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->hide();
        buttons->addWidget(b);
        samples_.push_back(b);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);
    connect(stop_, &QPushButton::clicked, this, &TAlarmsPage::stopAlarmClicked);
    connect(clear_, &QPushButton::clicked, this, &TAlarmsPage::clearMessagesClicked);
    connect(samples_[0], &QPushButton::clicked, this, &TAlarmsPage::overtimeSampleClicked);
    connect(samples_[1], &QPushButton::clicked, this, &TAlarmsPage::hardwareSampleClicked);
    connect(samples_[2], &QPushButton::clicked, this, &TAlarmsPage::softwareSampleClicked);
}

std::vector<TDatasetModel::Column> TAlarmsPage::AlarmColumns() {
    return {{"Time", "Time", 150, Qt::AlignLeft | Qt::AlignVCenter,
             TDatasetModel::SampleDate() + " " + TDatasetModel::SampleTime()},
            {"Alarm type", "TypeSt", 80},
            {"Message", "Msg", 600}};
}

void TAlarmsPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    emit shown();
}
