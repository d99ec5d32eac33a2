#include "TPlayerPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

namespace {

struct TransportButton {
    const char* Name;
    const char* Caption;
    QStyle::StandardPixmap Icon;  // the platform's standard media pictures
};
const TransportButton kButtons[] = {
    {"btnPlay", "Play", QStyle::SP_MediaPlay},
    {"btnPause", "Pause", QStyle::SP_MediaPause},
    {"btnStop", "Stop", QStyle::SP_MediaStop},
    {"btnRewind", "Rewind", QStyle::SP_MediaSeekBackward},
    {"btnFastForward", "Fast forward", QStyle::SP_MediaSeekForward}};

}  // namespace

TPlayerPanel::TPlayerPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel2");
    auto* row = new QHBoxLayout(this);
    for (const TransportButton& spec : kButtons) {
        auto* b = new QToolButton(this);
        b->setObjectName(spec.Name);
        b->setAccessibleName(spec.Caption);
        b->setIcon(style()->standardIcon(spec.Icon));
        b->setToolTip(spec.Caption);
        b->setEnabled(false);  // the player comes with its part of the program
        row->addWidget(b);
    }
    row->addStretch(1);
    row->addWidget(new QLabel("Volume", this));
    volume_ = new QSlider(Qt::Horizontal, this);
    volume_->setObjectName("tbrVolume");
    volume_->setAccessibleName("Volume");
    volume_->setRange(0, 16);
    volume_->setFixedWidth(120);
    row->addWidget(volume_);
}

QToolButton* TPlayerPanel::Button(const QString& objectName) const {
    return findChild<QToolButton*>(objectName, Qt::FindDirectChildrenOnly);
}
