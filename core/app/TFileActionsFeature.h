// The File menu's commands as far as the browsing layer provides them: the file actions
// (enabled for the current row of the grid in view), printing the call list in view and the
// export of the call data. The dialogs that ask for a folder are given by the program.
#pragma once

#include <QString>
#include <functional>

#include "IFileActions.h"
#include "TCallExport.h"
#include "TCallListPrinting.h"
#include "TFileActions.h"

class TFileActionsFeature : public IFileActions {
public:
    TFileActionsFeature(TFileActions& actions, TCallExport& exporter, TCallListPrinting& printing)
        : actions_(actions), export_(exporter), printing_(printing) {}
    bool Provides(Command command) const override {
        switch (command) {
            case Command::Memo:
            case Command::DeleteFiles:
            case Command::MoveTo:
                return actions_.Current().Edit;
            case Command::CopyTo:
            case Command::EmailFile:
                return actions_.Current().CopyMail;
            case Command::PrintSetup:
            case Command::ExportData:
                return true;
            case Command::PrintPreview:
            case Command::Print:
                return actions_.Current().Print;
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
            case Command::MoveTo:
                if (ChooseFolder) actions_.MoveTo(ChooseFolder());
                break;
            case Command::CopyTo:
                if (ChooseCopyFolder) {
                    const QString folder = ChooseCopyFolder(actions_.CopySuggestion());
                    if (!folder.isEmpty()) actions_.CopyToFolder(folder);
                }
                break;
            case Command::EmailFile:
                actions_.EmailFiles();
                break;
            case Command::PrintSetup:
                printing_.PrintSetup();
                break;
            case Command::PrintPreview:
                printing_.PrintPreview();
                break;
            case Command::Print:
                printing_.Print();
                break;
            case Command::ExportData:
                export_.ExportCallData();
                break;
            default:
                break;
        }
    }
    void UpdateFileActions() override { actions_.UpdateFileActions(); }

    // The folder "Move to..." files the calls into (empty: cancelled).
    std::function<QString()> ChooseFolder;
    // The folder "Copy to folder..." copies into, asked with a suggested file name (empty:
    // cancelled).
    std::function<QString(const QString& suggestedName)> ChooseCopyFolder;

private:
    TFileActions& actions_;
    TCallExport& export_;
    TCallListPrinting& printing_;
};
