// What the status bar and the external tool read from the call grids.
#pragma once

#include <QString>

class ICallGrids {
public:
    enum class Grid { Logger, Search };
    virtual ~ICallGrids() = default;
    // Records of the grid's dataset.
    virtual int RecordCount(Grid grid) const = 0;
    // fileName of the grid's current record; empty when it cannot be read.
    virtual QString CurrentFileName(Grid grid) const = 0;
};
