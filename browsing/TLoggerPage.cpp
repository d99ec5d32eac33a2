#include "TLoggerPage.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "TCallsGrid.h"
#include "TFolderTreeView.h"
#include "TGridNavigator.h"

TLoggerPage::TLoggerPage(QWidget* parent) : QWidget(parent) {
    setObjectName("tsLogger");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    treePanel_ = new QWidget(splitter_);
    treePanel_->setObjectName("Panel13");
    treePanel_->setMinimumWidth(0);
    auto* column = new QVBoxLayout(treePanel_);
    column->setContentsMargins(0, 0, 0, 0);
    tree_ = new TFolderTreeView(treePanel_);
    tree_->setObjectName("tree");
    tree_->setAccessibleName("Folders");
    column->addWidget(tree_);
    auto* gridPanel = new QWidget(splitter_);
    auto* gridColumn = new QVBoxLayout(gridPanel);
    gridColumn->setContentsMargins(0, 0, 0, 0);
    gridColumn->setSpacing(0);
    grid_ = new TCallsGrid(gridPanel);
    grid_->setObjectName("gdLogger");
    grid_->setAccessibleName("Calls");
    navigator_ = new TGridNavigator(*grid_, gridPanel);
    gridColumn->addWidget(grid_, 1);
    gridColumn->addWidget(navigator_);
    splitter_->addWidget(treePanel_);
    splitter_->addWidget(gridPanel);
    splitter_->setStretchFactor(1, 1);
    row->addWidget(splitter_);
}

void TLoggerPage::SetTreeWidth(int width, int windowWidth) {
    // 105: the navigation bar and the window's frame.
    splitter_->setSizes({width, std::max(100, windowWidth - 105 - width)});
}

int TLoggerPage::TreeWidth() const {
    return treePanel_->width();
}
