#include "TfmGetFolder.h"

#include <QStandardItem>
#include <QTreeView>

#include "BrowsingTexts.h"
#include "TFolderTree.h"

TfmGetFolder::TfmGetFolder(TFolderTree& tree, QWidget* parent)
    : TFolderChoiceDialog(tree, BrowsingTexts::kFoldersCaption, BrowsingTexts::kSelectItem,
                          parent) {
    setObjectName("fmGetFolder");
    Tree()->setObjectName("tvGetFolder");
}

TfolderData TfmGetFolder::GetFolder() {
    QStandardItem* node = ChooseNode();
    if (!node) return {};
    return {TFolderTree::FolderId(node), node->text()};
}
