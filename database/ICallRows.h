// What the folder tree asks of the call grid in view: the rows an action targets, and its
// current row and selection. Implemented by the browsing layer's grids; main thread only.
#pragma once

#include <vector>

class ICallRows {
public:
    virtual ~ICallRows() = default;
    // The selected rows in selection order, or the current row; empty when there is none.
    virtual std::vector<int> TargetRows() const = 0;
    virtual void SetCurrentRow(int row) = 0;
    virtual void ClearRowSelection() = 0;
};
