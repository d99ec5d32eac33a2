// A call grid: read-only, whole-row multi-selection, rows dragged onto folders. The logger and
// the search view each show one.
#pragma once

#include <QTableView>
#include <vector>

#include "ICallRows.h"

class TCallsGrid : public QTableView, public ICallRows {
    Q_OBJECT
public:
    explicit TCallsGrid(QWidget* parent = nullptr);
    // Target rows of an action: the selected rows in selection order, or the current row.
    std::vector<int> TargetRows() const override;
    void SetCurrentRow(int row) override;
    void ClearRowSelection() override;
};
