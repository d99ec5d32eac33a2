// The "Move" dialog of "Move to...": the folder tree, read-only, and "Ok" / "Cancel". It gives
// the chosen folder's FolderID, or an empty text when cancelled or closed. Main thread only.
#pragma once

#include "TFolderChoiceDialog.h"

class TfmMoveTo : public TFolderChoiceDialog {
    Q_OBJECT
public:
    explicit TfmMoveTo(TFolderTree& tree, QWidget* parent = nullptr);

    // Shows the dialog modally; the chosen FolderID or an empty text.
    QString ChooseFolder();
};
