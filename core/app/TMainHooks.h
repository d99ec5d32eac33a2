// What the other layers plug into the main window. A command whose hook is not set is
// disabled: it belongs to a part of the program that is not there.
#pragma once

#include <QString>
#include <functional>

struct TMainHooks {
    // File menu.
    std::function<void()> Memo, DeleteFiles, MoveTo, CopyTo, PrintSetup, PrintPreview, Print,
        EmailFile, ExportData;
    // Tree menu: 0 Add node .. 8 Collapse all.
    std::function<void(int item)> TreeAction;
    // Player menu.
    std::function<void()> Play, Pause, Stop, Rewind, FastForward;
    // The simulated call: Record starts or ends it; CallActive tells whether one runs.
    std::function<void()> Record;
    std::function<bool()> CallActive;
    // Settings and passwords.
    std::function<void()> ShowConfig;
    std::function<void()> ShowDatabaseWindow, ShowTestsWindow;
    // The slow timer's duties, in order.
    std::function<void()> StoreTree;  // throws std::exception on failure
    std::function<void()> ClearTree;  // empties the tree view at the end
    std::function<void()> PlayerTick, DrainAlarms, DbBackupTick;
    // The grid in view.
    std::function<int()> ActiveGridRecordCount;
    std::function<QString()> ActiveGridFileName;
    std::function<bool()> PlayerPlaying;
    std::function<void()> UpdateFileActions;
};
