#include "TPreviewPages.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "BrowsingTexts.h"
#include "ShrinkBitmap.h"
#include "TCallListPrinter.h"

TPreviewPages::TPreviewPages(TCallListPrinter& list, QPrinter& printer, QObject* parent)
    : QObject(parent), list_(list), total_(list.PageCount()), size_(BitmapSize(printer)) {}

QSize TPreviewPages::BitmapSize(QPrinter& printer) {
    const QImage probe(1, 1, QImage::Format_RGB32);
    const double onPrinter = QFontMetrics(TCallListPrinter::CanvasFont(), &printer).height();
    const double onBitmap = QFontMetrics(TCallListPrinter::CanvasFont(), &probe).height();
    const double s = onBitmap > 0 && onPrinter > 0 ? onPrinter / onBitmap : 1.0;
    return QSize(static_cast<int>(std::lround(printer.width() / s)),
                 static_cast<int>(std::lround(printer.height() / s)));
}

bool TPreviewPages::Render(QString* error) {
    try {
        QImage bitmap(size_, QImage::Format_RGB32);
        if (bitmap.isNull())
            throw std::runtime_error(QString(BrowsingTexts::kPreviewNotDrawn)
                                         .arg(size_.width())
                                         .arg(size_.height())
                                         .toStdString());
        QPainter canvas(&bitmap);
        list_.DrawPage(canvas, page_, size_.height(), size_.width(), total_);
        canvas.end();
        bitmap_ = bitmap;
    } catch (const std::exception& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
    scaledFor_ = QSize();
    emit rendered();
    return true;
}

bool TPreviewPages::NextPage(QString* error) {
    if (TCallListPrinter::LinesPerPage * page_ >= list_.RecordCount()) return false;
    ++page_;
    Render(error);
    return true;
}

bool TPreviewPages::PreviousPage(QString* error) {
    if (page_ < 2) return false;
    --page_;
    Render(error);
    return true;
}

int TPreviewPages::ScalePercent(const QSize& bitmap, const QSize& client) {
    if (bitmap.isEmpty()) return 0;
    const double percent = bitmap.height() >= bitmap.width()
                               ? (client.height() - 70) * 100.0 / bitmap.height()
                               : (client.width() - 100) * 100.0 / bitmap.width();
    return static_cast<int>(std::lround(percent));
}

QPoint TPreviewPages::PagePosition(const QSize& scaled, const QSize& client) {
    return QPoint((client.width() - scaled.width()) / 2,
                  (client.height() - scaled.height()) / 2 + 20);
}

const QImage& TPreviewPages::Scaled(const QSize& client) {
    if (client != scaledFor_) {
        if (bitmap_.isNull())
            scaled_ = QImage();
        else
            ShrinkBitmap(ScalePercent(bitmap_.size(), client), bitmap_, scaled_);
        scaledFor_ = client;
    }
    return scaled_;
}

QPoint TPreviewPages::Position(const QSize& client) {
    return PagePosition(Scaled(client).size(), client);
}
