// The folder tree as the main window reaches it: the Tree menu's items, storing the tree into
// its table and emptying the view at the end.
#pragma once

#include <QString>

class ITreeActions {
public:
    virtual ~ITreeActions() = default;
    // Item 0 Add node .. 8 Collapse all.
    virtual void Action(int item) = 0;
    // Stores the tree into its table; false with the reason in `error` when that failed.
    virtual bool Store(QString* error) = 0;
    virtual void Clear() = 0;
};
