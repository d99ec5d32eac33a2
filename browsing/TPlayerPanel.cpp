#include "TPlayerPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace {

struct TransportButton {
    const char* Name;
    const char* Caption;
};
const TransportButton kButtons[] = {{"btnPlay", "Play"},
                                    {"btnPause", "Pause"},
                                    {"btnStop", "Stop"},
                                    {"btnRewind", "Rewind"},
                                    {"btnFastForward", "Fast forward"}};

}  // namespace

TPlayerPanel::TPlayerPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel2");
    auto* row = new QHBoxLayout(this);
    for (const TransportButton& spec : kButtons) {
        auto* b = new QToolButton(this);
        b->setObjectName(spec.Name);
        b->setAccessibleName(spec.Caption);
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
