#include "TFolderChoiceDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "BrowsingTexts.h"
#include "TFolderTree.h"

TFolderChoiceDialog::TFolderChoiceDialog(TFolderTree& tree, const QString& caption,
                                         const QString& label, QWidget* parent)
    : QDialog(parent), tree_(tree) {
    setWindowTitle(caption);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(label, this));
    view_ = new QTreeView(this);
    view_->setAccessibleName("Folders");
    view_->setHeaderHidden(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
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

QStandardItem* TFolderChoiceDialog::ChooseNode() {
    if (tree_.Count() > 0 && !view_->currentIndex().isValid())
        view_->setCurrentIndex(tree_.NodeAt(0)->index());
    if (exec() != QDialog::Accepted) return nullptr;
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? tree_.Model()->itemFromIndex(current) : nullptr;
}
