// The search's folder picker ("Folders"): the folder tree, read-only, and "Ok" / "Cancel". It
// gives the chosen folder's FolderID and text, both empty when cancelled or closed. Main thread
// only.
#pragma once

#include "TFolderChoiceDialog.h"
#include "TfolderData.h"

class TfmGetFolder : public TFolderChoiceDialog {
    Q_OBJECT
public:
    explicit TfmGetFolder(TFolderTree& tree, QWidget* parent = nullptr);

    // Shows the dialog modally.
    TfolderData GetFolder();
};
