#include "TCallsGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>

TCallsGrid::TCallsGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    verticalHeader()->hide();
    horizontalHeader()->setFixedHeight(18);  // one title row
}

std::vector<int> TCallsGrid::TargetRows() const {
    std::vector<int> rows;
    if (selectionModel()) {
        for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
    }
    if (rows.empty() && currentIndex().isValid()) rows.push_back(currentIndex().row());
    return rows;
}

void TCallsGrid::SetCurrentRow(int row) {
    if (model()) setCurrentIndex(model()->index(row, 0));
}

void TCallsGrid::ClearRowSelection() {
    if (selectionModel()) clearSelection();
}
