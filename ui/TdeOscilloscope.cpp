#include "TdeOscilloscope.h"

#include <QPainter>
#include <QPolygonF>

TdeOscilloscope::TdeOscilloscope(QWidget* parent) : QWidget(parent) {
    setObjectName("deOscilloscope1");
    setAccessibleName("Waveform");
    setMinimumSize(160, 48);
}

void TdeOscilloscope::SetBlock(const QByteArray& pcm, int channels, int bitsPerSample) {
    samples_.clear();
    const int bytes = bitsPerSample / 8;
    const int frame = bytes * std::max(1, channels);
    const qsizetype frames = (bytes == 1 || bytes == 2) ? pcm.size() / frame : 0;
    if (frames > 0) {
        samples_.resize(kPoints);
        const auto* data = reinterpret_cast<const uint8_t*>(pcm.constData());
        for (int i = 0; i < kPoints; ++i) {
            const uint8_t* s = data + (frames * i / kPoints) * frame;
            samples_[static_cast<size_t>(i)] =
                bytes == 1 ? (int(s[0]) - 128) * 256 : int(int16_t(s[0] | s[1] << 8));
        }
    }
    update();
}

void TdeOscilloscope::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(0, 255, 0));  // lime
    const double mid = height() / 2.0;
    if (samples_.empty()) {
        p.drawLine(QPointF(0, mid), QPointF(width(), mid));
        return;
    }
    QPolygonF line;
    line.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i)
        line << QPointF(double(i) * width() / kPoints,
                        mid + samples_[static_cast<size_t>(i)] / 32768.0 * mid);
    p.drawPolyline(line);
}
