#include "TfmMoveTo.h"

#include <QTreeView>

#include "BrowsingTexts.h"
#include "TFolderTree.h"

TfmMoveTo::TfmMoveTo(TFolderTree& tree, QWidget* parent)
    : TFolderChoiceDialog(tree, BrowsingTexts::kMoveCaption, BrowsingTexts::kMoveLabel, parent) {
    setObjectName("fmMoveTo");
    Tree()->setObjectName("tvMoveTo");
}

QString TfmMoveTo::ChooseFolder() {
    QStandardItem* node = ChooseNode();
    return node ? TFolderTree::FolderId(node) : QString();
}
