// The Filters page: the inbound and outbound duration filters and the buttons that open the
// filtered-numbers lists.
#pragma once

#include <functional>

#include "TConfigPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

class TConfigFiltersPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigFiltersPage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    std::function<void(int direction)> OpenFilterList;  // 0 inbound, 1 outbound; may be unset

    void cbxInboundFilterClick();
    void cbxOutboundFilterClick();

    QCheckBox *cbxInboundFilter, *cbxOutboundFilter;
    QSpinBox *spnInboundTime, *spnOutboundTime;
    QPushButton *btnInList, *btnOutList;
};
