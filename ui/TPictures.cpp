#include "TPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPixmap Lamp(const QColor& centre, const QColor& rim) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(12, 11), 16);
    g.setColorAt(0, centre.lighter(170));
    g.setColorAt(0.5, centre);
    g.setColorAt(1, rim);
    p.setBrush(g);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    return pm;
}

}  // namespace

QPixmap TPictures::TileOff() { return Lamp(QColor(150, 150, 150), QColor(80, 80, 80)); }
QPixmap TPictures::TileIdle() { return Lamp(QColor(40, 190, 60), QColor(10, 90, 20)); }
QPixmap TPictures::TileRecord() { return Lamp(QColor(230, 40, 40), QColor(120, 10, 10)); }

QIcon TPictures::ViewIcon(int view) {
    QPixmap pm(40, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 2.5));
    p.setBrush(QColor(190, 210, 240));
    switch (view) {
        case 0:  // a list of calls
            p.drawRoundedRect(QRectF(6, 5, 28, 30), 3, 3);
            for (int y = 13; y <= 29; y += 8) p.drawLine(QPointF(11, y), QPointF(29, y));
            break;
        case 1:  // a magnifier
            p.drawEllipse(QRectF(6, 6, 20, 20));
            p.setPen(QPen(QColor(30, 60, 120), 5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(23, 23), QPointF(34, 34));
            break;
        case 2:  // lamps
            p.setBrush(QColor(40, 190, 60));
            p.drawEllipse(QRectF(4, 12, 15, 15));
            p.setBrush(QColor(230, 40, 40));
            p.drawEllipse(QRectF(21, 12, 15, 15));
            break;
        default: {  // a bell
            QPainterPath bell;
            bell.moveTo(8, 30);
            bell.cubicTo(12, 26, 10, 8, 20, 7);
            bell.cubicTo(30, 8, 28, 26, 32, 30);
            bell.closeSubpath();
            p.setBrush(QColor(250, 210, 80));
            p.drawPath(bell);
            p.drawEllipse(QRectF(17, 30, 6, 6));
            break;
        }
    }
    return QIcon(pm);
}

QIcon TPictures::AppIcon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 70, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(QColor(230, 40, 40));
    p.drawEllipse(QRectF(20, 20, 24, 24));
    return QIcon(pm);
}
