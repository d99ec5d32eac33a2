#include "TGradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

TGradientPanel::TGradientPanel(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setMinimumHeight(28);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TGradientPanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TGradientPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient g(rect().topLeft(), rect().topRight());
    g.setColorAt(0, QColor(30, 70, 140));
    g.setColorAt(1, QColor(170, 195, 235));
    p.fillRect(rect(), g);
    QFont f = font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, caption_);
}
