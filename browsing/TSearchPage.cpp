#include "TSearchPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "TCallsGrid.h"
#include "TGridNavigator.h"
#include "TVisualSql.h"

TSearchPage::TSearchPage(QWidget* parent) : QWidget(parent) {
    setObjectName("tsSearch");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    criteria_ = new QScrollArea(this);
    criteria_->setObjectName("ScrollBox1");
    criteria_->setAccessibleName("Search criteria");
    criteria_->setFixedHeight(160);
    visualSql_ = new TVisualSql(criteria_, this);
    top->addWidget(criteria_, 1);

    auto* buttons = new QVBoxLayout;
    search_ = new QPushButton("Search", this);
    search_->setObjectName("btnSearch");
    clear_ = new QPushButton("Clear", this);
    clear_->setObjectName("btnClear");
    buttons->addWidget(search_);
    buttons->addWidget(clear_);
    // The conditions are always all required: the choice stays hidden.
    matching_ = new QGroupBox(this);
    matching_->setObjectName("rgMatch");
    auto* options = new QVBoxLayout(matching_);
    matchAll_ = new QRadioButton("Match all of the terms", matching_);
    matchAll_->setChecked(true);
    matchAny_ = new QRadioButton("Match any of the terms", matching_);
    options->addWidget(matchAll_);
    options->addWidget(matchAny_);
    matching_->hide();
    buttons->addWidget(matching_);
    buttons->addStretch(1);
    top->addLayout(buttons);
    column->addLayout(top);

    grid_ = new TCallsGrid(this);
    grid_->setObjectName("gdSearch");
    grid_->setAccessibleName("Search results");
    grid_->SetRowDragging(false);  // rows are dragged from the logger grid only
    navigator_ = new TGridNavigator(*grid_, this);
    column->addWidget(grid_, 1);
    column->addWidget(navigator_);
    connect(search_, &QPushButton::clicked, this, &TSearchPage::searchClicked);
    connect(clear_, &QPushButton::clicked, this, &TSearchPage::clearClicked);
}

QString TSearchPage::Conjunction() const {
    return matchAny_->isChecked() ? QStringLiteral("OR") : QStringLiteral("AND");
}
