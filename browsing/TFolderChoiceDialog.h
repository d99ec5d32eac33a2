// A dialog that lets the user pick a folder: a label, a read-only copy of the folder tree
// (whole-row selection, every folder expanded) and "Ok" / "Cancel". "Move to..." and the
// search's folder rows each show one with their own caption and label. Main thread only.
#pragma once

#include <QDialog>

class QPushButton;
class QStandardItem;
class QTreeView;
class TFolderTree;

class TFolderChoiceDialog : public QDialog {
    Q_OBJECT
public:
    TFolderChoiceDialog(TFolderTree& tree, const QString& caption, const QString& label,
                        QWidget* parent = nullptr);

    QTreeView* Tree() const { return view_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    // Shows the dialog modally, the first folder selected when none is; the chosen folder's
    // node, or null when cancelled or closed.
    QStandardItem* ChooseNode();
    TFolderTree& tree_;

private:
    QTreeView* view_;
    QPushButton* ok_;
};
