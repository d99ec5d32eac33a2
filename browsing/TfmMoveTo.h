// The "Move" dialog of "Move to...": the folder tree, read-only, and "Ok" / "Cancel". It gives
// the chosen folder's FolderID, or an empty text when cancelled or closed.
#pragma once

#include <QDialog>

class QPushButton;
class QTreeView;
class TFolderTree;

class TfmMoveTo : public QDialog {
    Q_OBJECT
public:
    explicit TfmMoveTo(TFolderTree& tree, QWidget* parent = nullptr);

    // Shows the dialog modally; the chosen FolderID or an empty text.
    QString ChooseFolder();
    QTreeView* Tree() const { return view_; }
    QPushButton* OkButton() const { return ok_; }

private:
    TFolderTree& tree_;
    QTreeView* view_;
    QPushButton* ok_;
};
