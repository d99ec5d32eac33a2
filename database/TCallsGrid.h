// A call grid: read-only, whole-row multi-selection, rows dragged onto folders.
#pragma once

#include <QTableView>
#include <vector>

class TCallsGrid : public QTableView {
    Q_OBJECT
public:
    explicit TCallsGrid(QWidget* parent = nullptr);
    // Target rows of an action: the selected rows in selection order, or the current row.
    std::vector<int> TargetRows() const;
};
