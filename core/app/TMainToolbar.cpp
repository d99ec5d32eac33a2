#include "TMainToolbar.h"

#include <QHBoxLayout>
#include <QToolButton>

TMainToolbar::TMainToolbar(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel9");
    setFixedHeight(40);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto add = [&](const QString& name, const QString& caption) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(caption);
        b->setAutoRaise(true);
        b->setMinimumHeight(34);
        layout->addWidget(b);
        return b;
    };
    connect(add("btnEmail", "Email file "), &QToolButton::clicked, this,
            &TMainToolbar::emailClicked);
    connect(add("btnSettings", "Settings"), &QToolButton::clicked, this,
            &TMainToolbar::settingsClicked);
    connect(add("btnHide", "Hide"), &QToolButton::clicked, this, &TMainToolbar::hideClicked);
    connect(add("btnHelp", "Help"), &QToolButton::clicked, this, &TMainToolbar::helpClicked);
    tool_ = add("SpeedButton1", QString());
    tool_->setAccessibleName("External tool");
    connect(tool_, &QToolButton::clicked, this, &TMainToolbar::toolClicked);
    layout->addStretch(1);
}

QToolButton* TMainToolbar::Button(const QString& objectName) const {
    return findChild<QToolButton*>(objectName, Qt::FindDirectChildrenOnly);
}
