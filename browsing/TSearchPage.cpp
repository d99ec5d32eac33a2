#include "TSearchPage.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "TCallsGrid.h"
#include "TGridNavigator.h"

TSearchPage::TSearchPage(QWidget* parent) : QWidget(parent) {
    setObjectName("tsSearch");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    criteria_ = new QScrollArea(this);
    criteria_->setObjectName("ScrollBox1");
    criteria_->setFixedHeight(160);
    grid_ = new TCallsGrid(this);
    grid_->setObjectName("gdSearch");
    grid_->setAccessibleName("Search results");
    grid_->SetRowDragging(false);  // rows are dragged from the logger grid only
    navigator_ = new TGridNavigator(*grid_, this);
    column->addWidget(criteria_);
    column->addWidget(grid_, 1);
    column->addWidget(navigator_);
}
