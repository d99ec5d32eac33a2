// The tree view of the folders: drag rules for folders and for call rows from a grid.
#pragma once

#include <QTreeView>
#include <functional>

class TFolderTree;
class QStandardItem;

class TFolderTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TFolderTreeView(QWidget* parent = nullptr);
    void SetTree(TFolderTree* tree);
    TFolderTree* Tree() const { return tree_; }
    QStandardItem* SelectedNode() const;
    QStandardItem* NodeAtPoint(const QPoint& p) const;
    void SelectNode(QStandardItem* node);
    // Whether a drag is accepted over `target` (null: no node under the pointer).
    bool AcceptsDrop(bool fromGrid, QStandardItem* target) const;
    // A drop at a point of the viewport: call rows from a grid, or the selected folder.
    void HandleDrop(const QPoint& p, bool fromGrid);

    // Call rows dropped on a folder; a folder dropped on another (before it, or as its first
    // child).
    std::function<void(QStandardItem* target)> OnRowsDropped;
    std::function<void(QStandardItem* node, QStandardItem* target, bool asFirstChild)> OnNodeDropped;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool FromGrid(const QDropEvent* e) const;
    TFolderTree* tree_ = nullptr;
};
