#include "TGridNavigator.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "TCallsGrid.h"

namespace {

struct NavButton {
    const char* Name;
    QStyle::StandardPixmap Icon;
};
const NavButton kButtons[] = {{"First", QStyle::SP_MediaSkipBackward},
                              {"Prior", QStyle::SP_MediaSeekBackward},
                              {"Next", QStyle::SP_MediaSeekForward},
                              {"Last", QStyle::SP_MediaSkipForward},
                              {"Delete", QStyle::SP_TrashIcon}};

}  // namespace

TGridNavigator::TGridNavigator(TCallsGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid) {
    setObjectName(grid.objectName() + "Navigator");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    for (const NavButton& spec : kButtons) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString("btn") + spec.Name);
        b->setIcon(style()->standardIcon(spec.Icon));
        b->setToolTip(spec.Name);
        b->setAccessibleName(spec.Name);
        b->setAutoRaise(true);
        row->addWidget(b);
        if (QString(spec.Name) == "Delete") {
            row->insertSpacing(row->count() - 1, 12);
            connect(b, &QToolButton::clicked, &grid_, &TCallsGrid::deleteRequested);
        }
    }
    row->addStretch(1);
    connect(Button("First"), &QToolButton::clicked, this, [this] { Go(0); });
    connect(Button("Prior"), &QToolButton::clicked, this,
            [this] { Go(grid_.currentIndex().row() - 1); });
    connect(Button("Next"), &QToolButton::clicked, this,
            [this] { Go(grid_.currentIndex().row() + 1); });
    connect(Button("Last"), &QToolButton::clicked, this,
            [this] { Go(grid_.model() ? grid_.model()->rowCount() - 1 : -1); });
    connect(&grid_, &TCallsGrid::rowsChanged, this, &TGridNavigator::UpdateButtons);
    UpdateButtons();
}

QToolButton* TGridNavigator::Button(const QString& accessibleName) const {
    return findChild<QToolButton*>("btn" + accessibleName);
}

void TGridNavigator::Go(int row) {
    const int rows = grid_.model() ? grid_.model()->rowCount() : 0;
    if (rows == 0) return;
    grid_.SetCurrentRow(std::clamp(row, 0, rows - 1));
    UpdateButtons();
}

void TGridNavigator::UpdateButtons() {
    const int rows = grid_.model() ? grid_.model()->rowCount() : 0;
    const int current = grid_.currentIndex().isValid() ? grid_.currentIndex().row() : -1;
    Button("First")->setEnabled(rows > 0 && current != 0);
    Button("Prior")->setEnabled(rows > 0 && current > 0);
    Button("Next")->setEnabled(rows > 0 && current < rows - 1);
    Button("Last")->setEnabled(rows > 0 && current != rows - 1);
    Button("Delete")->setEnabled(rows > 0);
}
