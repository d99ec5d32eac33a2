// The Schedule page: a channel list and, for the selected channel's working copy, one row
// per day (Monday first): the day on, its start and stop times and "24 hours".
#pragma once

#include "TConfigPage.h"

class QCheckBox;
class QListWidget;
class QTimeEdit;

class TConfigSchedulePage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigSchedulePage(TConfigSession& session, QWidget* parent = nullptr);

    // The list filled from the channel table, the first channel selected.
    void FillChannelList();
    void ShowSettings() override { lbxChannelsSchedClick(); }

    // d is the day of the week, 1 Sunday .. 7 Saturday.
    void lbxChannelsSchedClick();
    void cbxDayClick(int d);
    void cbxFullClick(int d);
    void StartChange(int d);
    void StopChange(int d);

    QListWidget* lbxChannelsSched;
    // Indexed by day of the week (slot 0 unused).
    QCheckBox* cbxDay[8] = {};
    QTimeEdit* Start[8] = {};
    QTimeEdit* Stop[8] = {};
    QCheckBox* cbxFull[8] = {};

private:
    void ApplyDayRules(int d);
};
