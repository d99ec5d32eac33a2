// A call grid: read-only, whole-row multi-selection, rows dragged onto folders. The logger and
// the search view each show one. Its context menu holds the file actions given to it, with
// "Select all" and "Unselect All"; Esc clears the selection, Ctrl+Delete (Ctrl alone) asks for
// "Delete File(s)...", and moving to another control clears the selection. Rows are dragged onto
// the folder tree: a left-button press arms a drag, moving 20 pixels while armed starts it when
// there are rows, releasing the button disarms it.
#pragma once

#include <QList>
#include <QPoint>
#include <QTableView>
#include <functional>
#include <vector>

class QAction;
class QMenu;

#include "ICallRows.h"

class TCallsGrid : public QTableView, public ICallRows {
    Q_OBJECT
public:
    explicit TCallsGrid(QWidget* parent = nullptr);
    // The context menu: `before` ("Memo...", "Delete File(s)...", "Move to...", "Copy to
    // folder..."), "Select all", "Unselect All", a separator, then `after` ("Email wav file
    // to...").
    void SetContextActions(const QList<QAction*>& before, const QList<QAction*>& after);
    QMenu* ContextMenu() const { return menu_; }
    // Whether rows can be dragged from this grid (the logger grid's, not the search grid's).
    void SetRowDragging(bool on);
    static constexpr int kDragThreshold = 20;
    // Starts the drag of the selected rows (replaceable where no drag can run).
    std::function<void()> StartRowDrag;
    // Target rows of an action: the selected rows in selection order, or the current row.
    std::vector<int> TargetRows() const override;
    void SetCurrentRow(int row) override;
    void ClearRowSelection() override;

signals:
    void deleteRequested();
    // The rows or the current row changed (for the navigator's buttons).
    void rowsChanged();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void reset() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QMenu* menu_ = nullptr;
    QAction* selectAll_ = nullptr;
    QAction* unselectAll_ = nullptr;
    bool rowDragging_ = true;
    bool dragArmed_ = false;
    QPoint pressedAt_;
};
