#include "TTreeController.h"

#include <QStandardItemModel>

#include "DatabaseTexts.h"
#include "ICallRows.h"
#include "TDatasetModel.h"
#include "TFolderTreeView.h"
#include "TMessages.h"
#include "TUniqueId.h"
#include "TfmPelmorantDB.h"

TTreeController::TTreeController(TfmPelmorantDB& db, TFolderTreeView* view, ICallRows* grid,
                                 TDatasetModel* gridModel, QObject* parent)
    : QObject(parent), db_(db), view_(view), grid_(grid), gridModel_(gridModel) {
    TFolderTree& tree = db_.Tree;
    view_->SetTree(&tree);
    connect(&tree, &TFolderTree::nodeDeleted, this, [this](const QString& folderId) {
        if (DeletingFolder) DeleteFolderCalls(folderId);
        db_.DateInUse = {};
    });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                ShowFolder(db_.Tree.Model()->itemFromIndex(current));
            });
    connect(view_, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        QStandardItem* n = db_.Tree.Model()->itemFromIndex(i);
        TFolderTree::SetExpanded(n, true);
        if (n == view_->SelectedNode()) {
            SetEnabled(ExpandNode, false);
            SetEnabled(CollapseNode, true);
        }
    });
    connect(view_, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        QStandardItem* n = db_.Tree.Model()->itemFromIndex(i);
        TFolderTree::SetExpanded(n, false);
        if (n == view_->SelectedNode()) {
            SetEnabled(ExpandNode, true);
            SetEnabled(CollapseNode, false);
        }
    });
    // The end of in-place editing: read-only again, and the tree is to be stored.
    connect(view_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        if (MarkTreeChanged) MarkTreeChanged();
    });
    view_->OnRowsDropped = [this](QStandardItem* target) {
        if (MoveCallsToFolder) MoveCallsToFolder(TFolderTree::FolderId(target));
    };
    view_->OnNodeDropped = [this](QStandardItem* node, QStandardItem* target, bool asFirstChild) {
        db_.Tree.Move(node, target, asFirstChild);
        view_->expand(target->index());
        view_->SelectNode(target);
    };
    db_.ShowSelectedFolder = [this] { ShowSelectedFolder(); };
    db_.ExpandAllAndSelectLast = [this] { ExpandAllAndSelectLast(); };
    // The tree as stored: expanded nodes shown expanded.
    for (QStandardItem* n : db_.Tree.Nodes())
        if (TFolderTree::Expanded(n)) view_->expand(n->index());
}

QString TTreeController::FolderFilter(const QString& folderId) {
    QString quoted = folderId;
    quoted.replace("'", "''");
    return "FolderID='" + quoted + "'";
}

void TTreeController::SetEnabled(int item, bool on) {
    enabled_[item] = on;
    if (SetItemEnabled) SetItemEnabled(item, on);
}

void TTreeController::UpdateExpandItems(QStandardItem* node) {
    if (!node || node->rowCount() == 0) {
        SetEnabled(ExpandNode, false);
        SetEnabled(CollapseNode, false);
    } else {
        bool expanded = view_->isExpanded(node->index());
        SetEnabled(ExpandNode, !expanded);
        SetEnabled(CollapseNode, expanded);
    }
}

void TTreeController::ShowFolder(QStandardItem* node) {
    if (!node) return;
    TVolgaTable& calls = db_.tblCalls;
    if (calls.Active()) {
        if (gridModel_) gridModel_->BeginUpdate();
        try {
            calls.SetFilter(FolderFilter(TFolderTree::FolderId(node)).toStdString());
            calls.SetFiltered(true);
            calls.Last();
        } catch (const std::exception& e) {
            ShowMessage(QString::fromUtf8(e.what()));
        }
        if (gridModel_) gridModel_->EndUpdate();
        if (grid_ && calls.RecordCount() > 0) grid_->SetCurrentRow(calls.RecNo() - 1);
    }
    bool playing = PlayerPlaying && PlayerPlaying();
    if (!playing && UpdateFileActions) UpdateFileActions();
    bool notFirst = db_.Tree.IndexOf(node) != 0;
    SetEnabled(InsertNode, notFirst);
    SetEnabled(RenameNode, notFirst);
    SetEnabled(DeleteNode, notFirst);
    UpdateExpandItems(node);
}

void TTreeController::ShowSelectedFolder() {
    ShowFolder(view_->SelectedNode());
}

void TTreeController::ExpandAllAndSelectLast() {
    view_->expandAll();
    QList<QStandardItem*> nodes = db_.Tree.Nodes();
    if (!nodes.isEmpty()) view_->SelectNode(nodes.back());
}

QStandardItem* TTreeController::StartNewNode(QStandardItem* node) {
    node->setEditable(true);
    view_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    view_->SelectNode(node);
    view_->edit(node->index());
    if (MarkTreeChanged) MarkTreeChanged();
    return node;
}

void TTreeController::Action(int item) {
    TFolderTree& tree = db_.Tree;
    QStandardItem* selected = view_->SelectedNode();
    switch (item) {
        case AddNode:
            StartNewNode(selected ? tree.AddSibling(selected, QString(), GenerateUniqueId())
                                  : tree.AddChild(nullptr, QString(), GenerateUniqueId()));
            break;
        case AddChildNode:
            if (!selected) return;
            view_->expand(selected->index());
            StartNewNode(tree.AddChild(selected, QString(), GenerateUniqueId()));
            break;
        case InsertNode:
            if (!selected) return;
            StartNewNode(tree.InsertBefore(selected, QString(), GenerateUniqueId()));
            break;
        case DeleteNode: {
            if (!selected) return;
            if (selected->text() == "Main") {
                ShowMessage(DatabaseTexts::kMainNotDeleted);
                return;
            }
            if (!ConfirmMessage(DatabaseTexts::kDeleteNodeQuestion)) return;
            DeletingFolder = true;
            try {
                tree.Remove(selected);
            } catch (...) {
                DeletingFolder = false;
                throw;
            }
            DeletingFolder = false;
            view_->viewport()->update();
            if (MarkTreeChanged) MarkTreeChanged();
            ShowSelectedFolder();
            break;
        }
        case RenameNode:
            if (!selected) return;
            if (selected->text() == "Main") {
                ShowMessage(DatabaseTexts::kMainNotRenamed);
                return;
            }
            selected->setEditable(true);
            view_->setEditTriggers(QAbstractItemView::AllEditTriggers);
            view_->edit(selected->index());
            if (MarkTreeChanged) MarkTreeChanged();
            break;
        case ExpandNode:
            if (selected && !TFolderTree::FolderId(selected).isEmpty() &&
                !view_->isExpanded(selected->index()))
                view_->expand(selected->index());
            break;
        case CollapseNode:
            if (selected && !TFolderTree::FolderId(selected).isEmpty() &&
                view_->isExpanded(selected->index()))
                view_->collapse(selected->index());
            break;
        case ExpandAll:
            view_->expandAll();
            break;
        case CollapseAll:
            view_->collapseAll();
            break;
        default:
            break;
    }
}

void TTreeController::DeleteFolderCalls(const QString& folderId) {
    TVolgaTable& calls = db_.tblCalls;
    if (!calls.Active()) return;
    if (gridModel_) gridModel_->BeginUpdate();
    try {
        calls.SetFilter(FolderFilter(folderId).toStdString());
        calls.SetFiltered(true);
        calls.First();
        const std::string id = folderId.toStdString();
        while (!calls.Eof() && calls.RecordCount() > 0) {
            if (calls.FieldByName("FolderId").AsString() == id) {
                calls.Delete();  // removes the recording and lowers the used space
                if (calls.RecordCount() == 0) break;
            } else {
                calls.Next();
            }
        }
        calls.SaveChanges();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
    if (gridModel_) gridModel_->EndUpdate();
}

