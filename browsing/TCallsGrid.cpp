#include "TCallsGrid.h"

#include <QAction>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

TCallsGrid::TCallsGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    verticalHeader()->hide();
    horizontalHeader()->setFixedHeight(18);  // one title row
    menu_ = new QMenu(this);
    selectAll_ = new QAction("Select all", this);
    selectAll_->setObjectName("pmiSelectAll");
    selectAll_->setShortcut(QKeySequence("Ctrl+A"));
    connect(selectAll_, &QAction::triggered, this, &QTableView::selectAll);
    unselectAll_ = new QAction("Unselect All", this);
    unselectAll_->setObjectName("pmiUnselectAll");
    unselectAll_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(unselectAll_, &QAction::triggered, this, &TCallsGrid::ClearRowSelection);
    StartRowDrag = [this] { startDrag(Qt::MoveAction); };
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        selectAll_->setEnabled(model() && model()->rowCount() > 0);
        menu_->popup(viewport()->mapToGlobal(at));
    });
}

void TCallsGrid::SetContextActions(const QList<QAction*>& before, const QList<QAction*>& after) {
    menu_->clear();
    menu_->addActions(before);
    menu_->addAction(selectAll_);
    menu_->addAction(unselectAll_);
    menu_->addSeparator();
    menu_->addActions(after);
}

void TCallsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    emit rowsChanged();
}

void TCallsGrid::rowsInserted(const QModelIndex& parent, int start, int end) {
    QTableView::rowsInserted(parent, start, end);
    emit rowsChanged();
}

void TCallsGrid::reset() {
    QTableView::reset();
    emit rowsChanged();
}

void TCallsGrid::SetRowDragging(bool on) {
    rowDragging_ = on;
    setDragEnabled(on);
    setDragDropMode(on ? QAbstractItemView::DragOnly : QAbstractItemView::NoDragDrop);
}

void TCallsGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    // The viewport lies below the title row: every press on it arms.
    dragArmed_ = rowDragging_ && event->button() == Qt::LeftButton;
    pressedAt_ = event->position().toPoint();
}

void TCallsGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!dragArmed_ || !(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Armed: the view's own drag start (at a shorter distance) does not run.
    if ((event->position().toPoint() - pressedAt_).manhattanLength() < kDragThreshold) return;
    dragArmed_ = false;
    if (model() && model()->rowCount() > 0 && StartRowDrag) StartRowDrag();
}

void TCallsGrid::mouseReleaseEvent(QMouseEvent* event) {
    dragArmed_ = false;
    QTableView::mouseReleaseEvent(event);
}

void TCallsGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        ClearRowSelection();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        emit deleteRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TCallsGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // Only when the user moves to another control: a menu or a dialog of an action on the
    // selected rows takes the focus too, and the rows must stay selected for it.
    const Qt::FocusReason r = event->reason();
    if (r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason)
        ClearRowSelection();
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
