// The file actions on the grid in view (memo, delete, move, copy, e-mail), with printing and the
// export of the call list: the File menu. The program plugs in what is built; a command that is
// not provided is shown disabled.
#pragma once

class IFileActions {
public:
    enum class Command {
        Memo,
        DeleteFiles,
        MoveTo,
        CopyTo,
        PrintSetup,
        PrintPreview,
        Print,
        EmailFile,
        ExportData
    };
    virtual ~IFileActions() = default;
    virtual bool Provides(Command command) const = 0;
    virtual void Run(Command command) = 0;
    // Sets the enabled state of the actions for the current row of the grid in view.
    virtual void UpdateFileActions() = 0;
};
