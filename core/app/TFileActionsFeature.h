// The File menu's commands as far as the browsing layer provides them: "Memo...", "Delete
// File(s)..." (enabled for the current row of the grid in view) and the export of the call
// data; moving, copying, e-mail and printing come with their part of the program.
#pragma once

#include "IFileActions.h"
#include "TCallExport.h"
#include "TFileActions.h"

class TFileActionsFeature : public IFileActions {
public:
    TFileActionsFeature(TFileActions& actions, TCallExport& exporter)
        : actions_(actions), export_(exporter) {}
    bool Provides(Command command) const override {
        switch (command) {
            case Command::Memo:
            case Command::DeleteFiles:
                return actions_.Current().Edit;
            case Command::ExportData:
                return true;
            default:
                return false;
        }
    }
    void Run(Command command) override {
        switch (command) {
            case Command::Memo:
                actions_.Memo();
                break;
            case Command::DeleteFiles:
                actions_.DeleteFiles();
                break;
            case Command::ExportData:
                export_.ExportCallData();
                break;
            default:
                break;
        }
    }
    void UpdateFileActions() override { actions_.UpdateFileActions(); }

private:
    TFileActions& actions_;
    TCallExport& export_;
};
