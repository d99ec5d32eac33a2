#include "TConfigFiltersPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "TLiveSettings.h"

using L = TLiveSettings;
using S = TConfigSession;

TConfigFiltersPage::TConfigFiltersPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsFilters", parent) {
    cbxInboundFilter = Named(new QCheckBox("Inbound calls shorter than", this), "cbxInboundFilter");
    spnInboundTime = Spin("spnInboundTime", S::kFilterDuration);
    btnInList = Named(new QPushButton("List", this), "btnInList");
    cbxOutboundFilter =
        Named(new QCheckBox("Outbound calls shorter than", this), "cbxOutboundFilter");
    spnOutboundTime = Spin("spnOutboundTime", S::kFilterDuration);
    btnOutList = Named(new QPushButton("List", this), "btnOutList");
    auto* g = new QGridLayout;
    g->addWidget(cbxInboundFilter, 0, 0);
    g->addWidget(spnInboundTime, 0, 1);
    g->addWidget(new QLabel("sec", this), 0, 2);
    g->addWidget(btnInList, 0, 3);
    g->addWidget(cbxOutboundFilter, 1, 0);
    g->addWidget(spnOutboundTime, 1, 1);
    g->addWidget(new QLabel("sec", this), 1, 2);
    g->addWidget(btnOutList, 1, 3);
    auto* l = new QVBoxLayout(this);
    l->addLayout(g);
    l->addStretch();

    BindNumber(spnInboundTime, &L::spnInboundTime);
    BindNumber(spnOutboundTime, &L::spnOutboundTime);
    connect(cbxInboundFilter, &QCheckBox::toggled, this, [this] {
        if (!Loading()) cbxInboundFilterClick();
    });
    connect(cbxOutboundFilter, &QCheckBox::toggled, this, [this] {
        if (!Loading()) cbxOutboundFilterClick();
    });
    connect(btnInList, &QPushButton::clicked, this, [this] {
        if (OpenFilterList) OpenFilterList(0);
    });
    connect(btnOutList, &QPushButton::clicked, this, [this] {
        if (OpenFilterList) OpenFilterList(1);
    });
}

void TConfigFiltersPage::ShowSettings() {
    const TLiveSettings& s = session_.Settings();
    {
        const TLoading loading(*this);
        cbxInboundFilter->setChecked(s.cbxInboundFilter);
        spnInboundTime->setValue(s.spnInboundTime);
        cbxOutboundFilter->setChecked(s.cbxOutboundFilter);
        spnOutboundTime->setValue(s.spnOutboundTime);
    }
    cbxInboundFilterClick();
    cbxOutboundFilterClick();
}

void TConfigFiltersPage::cbxInboundFilterClick() {
    session_.SetInboundFilter(cbxInboundFilter->isChecked());
    spnInboundTime->setEnabled(session_.InboundTimeEnabled());
}

void TConfigFiltersPage::cbxOutboundFilterClick() {
    session_.SetOutboundFilter(cbxOutboundFilter->isChecked());
    spnOutboundTime->setEnabled(session_.OutboundTimeEnabled());
}
