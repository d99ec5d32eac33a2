#include "TfmMoveTo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "BrowsingTexts.h"
#include "TFolderTree.h"

TfmMoveTo::TfmMoveTo(TFolderTree& tree, QWidget* parent) : QDialog(parent), tree_(tree) {
    setObjectName("fmMoveTo");
    setWindowTitle(BrowsingTexts::kMoveCaption);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(BrowsingTexts::kMoveLabel, this));
    view_ = new QTreeView(this);
    view_->setObjectName("tvMoveTo");
    view_->setAccessibleName("Folders");
    view_->setHeaderHidden(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setModel(tree_.Model());
    view_->expandAll();
    column->addWidget(view_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ok_ = new QPushButton(BrowsingTexts::kOk, this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(BrowsingTexts::kCancel, this);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 400);
}

QString TfmMoveTo::ChooseFolder() {
    if (tree_.Count() > 0 && !view_->currentIndex().isValid())
        view_->setCurrentIndex(tree_.NodeAt(0)->index());
    if (exec() != QDialog::Accepted) return QString();
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid()) return QString();
    return TFolderTree::FolderId(tree_.Model()->itemFromIndex(current));
}
