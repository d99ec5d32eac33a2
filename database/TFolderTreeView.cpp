#include "TFolderTreeView.h"

#include <QDragMoveEvent>
#include <QMimeData>
#include <QStandardItemModel>

#include "TDatasetModel.h"
#include "TFolderTree.h"

TFolderTreeView::TFolderTreeView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TFolderTreeView::SetTree(TFolderTree* tree) {
    tree_ = tree;
    setModel(tree ? tree->Model() : nullptr);
}

QStandardItem* TFolderTreeView::SelectedNode() const {
    if (!tree_) return nullptr;
    return tree_->Model()->itemFromIndex(currentIndex());
}

QStandardItem* TFolderTreeView::NodeAtPoint(const QPoint& p) const {
    if (!tree_) return nullptr;
    return tree_->Model()->itemFromIndex(indexAt(p));
}

void TFolderTreeView::SelectNode(QStandardItem* node) {
    if (!node) return;
    setCurrentIndex(node->index());
}

bool TFolderTreeView::AcceptsDrop(bool fromGrid, QStandardItem* target) const {
    if (!target || !tree_) return false;
    if (fromGrid) return true;
    QStandardItem* dragged = SelectedNode();
    if (!dragged || tree_->IndexOf(dragged) == 0) return false;
    return target != dragged && !tree_->IsDescendant(target, dragged);
}

bool TFolderTreeView::FromGrid(const QDropEvent* e) const {
    return e->mimeData() && e->mimeData()->hasFormat(TDatasetModel::kRowsMime);
}

void TFolderTreeView::dragEnterEvent(QDragEnterEvent* e) {
    if (FromGrid(e) || e->source() == this) e->acceptProposedAction();
    else e->ignore();
}

void TFolderTreeView::dragMoveEvent(QDragMoveEvent* e) {
    bool fromGrid = FromGrid(e);
    if (!fromGrid && e->source() != this) {
        e->ignore();
        return;
    }
    if (AcceptsDrop(fromGrid, NodeAtPoint(e->position().toPoint()))) e->acceptProposedAction();
    else e->ignore();
}

void TFolderTreeView::dropEvent(QDropEvent* e) {
    bool fromGrid = FromGrid(e);
    // The view never moves rows by itself: HandleDrop decides.
    e->setDropAction(Qt::IgnoreAction);
    e->accept();
    HandleDrop(e->position().toPoint(), fromGrid);
}

void TFolderTreeView::HandleDrop(const QPoint& p, bool fromGrid) {
    QStandardItem* target = NodeAtPoint(p);
    if (!AcceptsDrop(fromGrid, target)) return;
    if (fromGrid) {
        if (OnRowsDropped) OnRowsDropped(target);
        return;
    }
    if (tree_->IndexOf(target) == 0) return;  // a folder dropped on node 0 stays where it was
    QRect text = visualRect(target->index());
    bool asFirstChild = p.x() >= text.left();
    if (OnNodeDropped) OnNodeDropped(SelectedNode(), target, asFirstChild);
}

void TFolderTreeView::mousePressEvent(QMouseEvent* e) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QTreeView::mousePressEvent(e);
}
