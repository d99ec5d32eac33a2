#include "TPieChart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

TPieChart::TPieChart(QWidget* parent) : QWidget(parent) {}

void TPieChart::Clear() {
    slices_.clear();
    update();
}

void TPieChart::AddSlice(double value, const QString& label, const QColor& color) {
    slices_.push_back({value, label, color});
    update();
}

int TPieChart::SpanOf(int index) const {
    double total = 0;
    for (const Slice& s : slices_) total += std::max(0.0, s.Value);
    if (total <= 0 || index < 0 || index >= slices_.size()) return 0;
    return static_cast<int>(std::lround(std::max(0.0, slices_[index].Value) / total * 5760.0));
}

void TPieChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::max(10, std::min(height() - 10, width() / 2 - 10));
    const QRect pie(5, (height() - side) / 2, side, side);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    int start = 90 * 16;  // twelve o'clock
    bool any = false;
    for (int i = 0; i < slices_.size(); ++i) {
        const int span = SpanOf(i);
        if (span <= 0) continue;
        any = true;
        p.setBrush(slices_[i].Color);
        p.drawPie(pie, start, -span);
        start -= span;
    }
    if (!any) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(pie);
    }
    // Legend.
    const int x = pie.right() + 15;
    const int line = fontMetrics().height() + 4;
    int y = pie.top() + 4;
    for (const Slice& s : slices_) {
        p.setBrush(s.Color);
        p.drawRect(x, y, 10, 10);
        p.drawText(x + 16, y + 10, s.Label + ": " + QString::number(s.Value, 'f', 0));
        y += line;
    }
}
