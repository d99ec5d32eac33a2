#include "TNavigationBar.h"

#include <QButtonGroup>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TNavigationBar::TNavigationBar(const QString& group, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)), layout_(new QVBoxLayout(this)) {
    setFixedWidth(105);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(120, 140, 170));
    setPalette(pal);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(4);
    auto* caption = new QLabel(group, this);
    caption->setAlignment(Qt::AlignCenter);
    caption->setFrameShape(QFrame::Panel);
    caption->setFrameShadow(QFrame::Raised);
    caption->setMinimumHeight(22);
    caption->setAutoFillBackground(true);
    layout_->addWidget(caption);
    layout_->addStretch(1);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, &TNavigationBar::itemClicked);
}

int TNavigationBar::AddItem(const QString& caption, const QIcon& icon) {
    auto* b = new QToolButton(this);
    b->setText(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(40, 40));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setFixedSize(95, 72);
    int index = static_cast<int>(items_.size());
    group_->addButton(b, index);
    items_ << b;
    layout_->insertWidget(layout_->count() - 1, b, 0, Qt::AlignHCenter);
    return index;
}

int TNavigationBar::Selected() const { return group_->checkedId(); }

void TNavigationBar::SetSelected(int index) {
    if (index >= 0 && index < items_.size()) items_[index]->setChecked(true);
}
