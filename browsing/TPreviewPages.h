// What the print preview shows: the current page of the call list, the page count, the page
// drawn into a bitmap and that bitmap scaled for the window. The bitmap has the shape of the
// printer's page at the size of text on the screen: the printer's page divided by how much
// taller the canvas font's text is on the printer than on the bitmap. TfmPreview shows this
// state and forwards its buttons here. Main thread only.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

class QPrinter;
class TCallListPrinter;

class TPreviewPages : public QObject {
    Q_OBJECT
public:
    // `list` and `printer` must outlive this; the page count is taken now.
    TPreviewPages(TCallListPrinter& list, QPrinter& printer, QObject* parent = nullptr);

    int Page() const { return page_; }
    int Total() const { return total_; }
    const QImage& Bitmap() const { return bitmap_; }

    // Draws the current page into the bitmap; false with the reason in `error`.
    bool Render(QString* error = nullptr);
    // Goes on to the next page and renders it while LinesPerPage × page is below the record
    // count; false when nothing changed.
    bool NextPage(QString* error = nullptr);
    // Goes back a page and renders it from page 2 on; false when nothing changed.
    bool PreviousPage(QString* error = nullptr);

    // The bitmap as a client area of `client` shows it, and where it goes there.
    const QImage& Scaled(const QSize& client);
    QPoint Position(const QSize& client);

    // The bitmap's size for `printer`'s page.
    static QSize BitmapSize(QPrinter& printer);
    // The scale in percent: a portrait page (height ≥ width) fills the client height less 70
    // pixels, a landscape page the client width less 100.
    static int ScalePercent(const QSize& bitmap, const QSize& client);
    // Centred horizontally; centred vertically and 20 pixels lower.
    static QPoint PagePosition(const QSize& scaled, const QSize& client);

signals:
    // A page was rendered: the window repaints.
    void rendered();

private:
    TCallListPrinter& list_;
    int page_ = 1;
    int total_ = 0;
    QSize size_;
    QImage bitmap_;
    // The last scaled picture and the client size it was made for.
    QImage scaled_;
    QSize scaledFor_;
};
