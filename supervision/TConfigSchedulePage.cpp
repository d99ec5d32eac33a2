#include "TConfigSchedulePage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "SupervisionTexts.h"

namespace T = SupervisionTexts;

namespace {

// Rows of the page: Monday first, Sunday last.
constexpr int kScheduleRows[7] = {2, 3, 4, 5, 6, 7, 1};
const char* const kDayCaptions[8] = {"",        "Sunday",   "Monday", "Tuesday",
                                     "Wensday", "Thursday", "Friday", "Saturday"};

}  // namespace

TConfigSchedulePage::TConfigSchedulePage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsOperation", parent) {
    lbxChannelsSched = Named(new QListWidget(this), "lbxChannelsSched");
    lbxChannelsSched->setFixedWidth(110);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(T::kDay, this), 0, 0);
    grid->addWidget(new QLabel(T::kStartTime, this), 0, 1);
    grid->addWidget(new QLabel(T::kStopTime, this), 0, 2);
    grid->addWidget(new QLabel(T::kFullDay, this), 0, 3);
    for (int row = 0; row < 7; ++row) {
        const int d = kScheduleRows[row];
        const QString n = QString::number(d);
        cbxDay[d] = Named(new QCheckBox(kDayCaptions[d], this), "cbx" + n);
        Start[d] = Named(new QTimeEdit(this), "Start" + n);
        Stop[d] = Named(new QTimeEdit(this), "Stop" + n);
        for (QTimeEdit* t : {Start[d], Stop[d]}) t->setDisplayFormat("HH:mm:ss");
        cbxFull[d] = Named(new QCheckBox(this), "cbx" + n + "Full");
        grid->addWidget(cbxDay[d], row + 1, 0);
        grid->addWidget(Start[d], row + 1, 1);
        grid->addWidget(Stop[d], row + 1, 2);
        grid->addWidget(cbxFull[d], row + 1, 3, Qt::AlignCenter);
        connect(cbxDay[d], &QCheckBox::toggled, this, [this, d] { cbxDayClick(d); });
        connect(cbxFull[d], &QCheckBox::toggled, this, [this, d] { cbxFullClick(d); });
        connect(Start[d], &QTimeEdit::timeChanged, this, [this, d] { StartChange(d); });
        connect(Stop[d], &QTimeEdit::timeChanged, this, [this, d] { StopChange(d); });
    }
    auto* rows = new QVBoxLayout;
    rows->addLayout(grid);
    rows->addStretch();
    auto* l = new QHBoxLayout(this);
    l->addWidget(lbxChannelsSched);
    l->addLayout(rows);
    connect(lbxChannelsSched, &QListWidget::currentRowChanged, this,
            [this] { lbxChannelsSchedClick(); });
}

void TConfigSchedulePage::FillChannelList() {
    const QSignalBlocker block(lbxChannelsSched);
    lbxChannelsSched->clear();
    for (int i = 0; i < session_.ChannelCount(); ++i)
        lbxChannelsSched->addItem(session_.ChannelItem(i));
    if (session_.ChannelCount() > 0) lbxChannelsSched->setCurrentRow(0);
    session_.SelectScheduleChannel(lbxChannelsSched->currentRow());
}

void TConfigSchedulePage::lbxChannelsSchedClick() {
    session_.SelectScheduleChannel(lbxChannelsSched->currentRow());
    if (session_.SelectedScheduleChannel() < 0) return;
    {
        const TLoading loading(*this);
        for (int d = 1; d <= 7; ++d) {
            cbxDay[d]->setChecked(session_.Day(d).En);
            Start[d]->setTime(session_.DayStart(d));
            Stop[d]->setTime(session_.DayStop(d));
            cbxFull[d]->setChecked(session_.Day(d).FullTime);
        }
    }
    for (int d = 1; d <= 7; ++d) ApplyDayRules(d);
}

void TConfigSchedulePage::ApplyDayRules(int d) {
    cbxFull[d]->setEnabled(session_.FullDayEnabled(d));
    Start[d]->setEnabled(session_.DayTimesEnabled(d));
    Stop[d]->setEnabled(session_.DayTimesEnabled(d));
}

void TConfigSchedulePage::cbxDayClick(int d) {
    if (Loading()) return;
    session_.SetDayEnabled(d, cbxDay[d]->isChecked());
    ApplyDayRules(d);
}

void TConfigSchedulePage::cbxFullClick(int d) {
    if (Loading()) return;
    session_.SetFullDay(d, cbxFull[d]->isChecked());
    ApplyDayRules(d);
}

void TConfigSchedulePage::StartChange(int d) {
    if (!Loading()) session_.SetDayStart(d, Start[d]->time());
}

void TConfigSchedulePage::StopChange(int d) {
    if (!Loading()) session_.SetDayStop(d, Stop[d]->time());
}
