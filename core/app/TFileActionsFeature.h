// The File menu's commands as far as the browsing layer provides them: the export of the call
// data now; the file actions and printing come with their part of the program.
#pragma once

#include "IFileActions.h"
#include "TCallExport.h"

class TFileActionsFeature : public IFileActions {
public:
    explicit TFileActionsFeature(TCallExport& exporter) : export_(exporter) {}
    bool Provides(Command command) const override { return command == Command::ExportData; }
    void Run(Command command) override {
        if (command == Command::ExportData) export_.ExportCallData();
    }
    void UpdateFileActions() override {}

private:
    TCallExport& export_;
};
