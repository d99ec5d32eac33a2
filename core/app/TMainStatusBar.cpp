#include "TMainStatusBar.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    const int widths[] = {120, 100, 160, 120, 50};
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QString("StatusPanel%1").arg(i));
        // The text panels widen when their text does not fit (fonts differ from the design's).
        if (i < 3)
            l->setMinimumWidth(widths[i]);
        else
            l->setFixedWidth(widths[i]);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        addWidget(l);
        panels_ << l;
    }
    progress_ = new QProgressBar(panels_[3]);
    progress_->setTextVisible(false);
    progress_->setStyleSheet(
        "QProgressBar { border: none; } QProgressBar::chunk { background: blue; }");
    progress_->hide();
    panels_[3]->installEventFilter(this);
    PlaceProgressBar();
}

void TMainStatusBar::PlaceProgressBar() {
    progress_->setGeometry(panels_[3]->rect());
}

bool TMainStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panels_[3] && event->type() == QEvent::Resize) PlaceProgressBar();
    return QStatusBar::eventFilter(watched, event);
}
