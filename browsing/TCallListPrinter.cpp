#include "TCallListPrinter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QStandardItem>
#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "BrowsingTexts.h"
#include "TChannelTable.h"
#include "TDatasetModel.h"
#include "TFolderTree.h"
#include "TVolgaDataset.h"

namespace {

// What a column shows.
enum class Content { Num, Channel, Date, Time, Duration, Direction, Folder, Dtmf, CallerId, Memo };

struct Column {
    const char* Caption;
    double Left;      // of the page width
    double MaxWidth;  // of the page width; 0: not limited
    Content Shows;
};

constexpr Column kColumns[] = {
    {BrowsingTexts::kColumnNum, 0.05, 0, Content::Num},
    {BrowsingTexts::kColumnChannel, 0.09, 0.07, Content::Channel},
    {BrowsingTexts::kColumnDate, 0.17, 0.075, Content::Date},
    {BrowsingTexts::kColumnTime, 0.235, 0.085, Content::Time},
    {BrowsingTexts::kColumnDuration, 0.32, 0.07, Content::Duration},
    {BrowsingTexts::kColumnDirection, 0.39, 0.08, Content::Direction},
    {BrowsingTexts::kColumnFolder, 0.47, 0.1, Content::Folder},
    {BrowsingTexts::kColumnDtmf, 0.57, 0.1, Content::Dtmf},
    {BrowsingTexts::kColumnCallerId, 0.67, 0.1, Content::CallerId},
    {BrowsingTexts::kColumnMemo, 0.77, 0.17, Content::Memo},
};

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// Text with its top (not its baseline) at `top`.
void TextOut(QPainter& canvas, int x, int top, const QString& text) {
    canvas.drawText(x, top + canvas.fontMetrics().ascent(), text);
}

// The grid's display suspended for as long as this lives.
class DisplaySuspended {
public:
    explicit DisplaySuspended(TDatasetModel* model) : model_(model) {
        if (model_) model_->BeginUpdate();
    }
    ~DisplaySuspended() {
        if (model_) model_->EndUpdate();
    }
    DisplaySuspended(const DisplaySuspended&) = delete;
    DisplaySuspended& operator=(const DisplaySuspended&) = delete;

private:
    TDatasetModel* model_;
};

int FieldIndex(const TVolgaDataset& set, const char* name) {
    const TVolgaDataField* f = set.FindField(name);
    return f ? f->FieldNo() : -1;
}

}  // namespace

int TCallListPrinter::LinesPerPage = 70;

TCallListPrinter::TCallListPrinter(const Source& source) : source_(source) {
    if (source_.Tree)
        for (const QStandardItem* node : source_.Tree->Nodes())
            folders_.insert(TFolderTree::FolderId(node).trimmed(), node->text());
}

QFont TCallListPrinter::PrintFont(int pointSize, bool bold) {
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QFont TCallListPrinter::CanvasFont() {
    return PrintFont(8);
}

int TCallListPrinter::LinesFor(int printableHeight, int textHeight) {
    if (textHeight <= 0) return 70;
    return std::max(1, Round(printableHeight * 0.85 / (textHeight * 1.2)));
}

void TCallListPrinter::ComputeLinesPerPage(QPrinter& printer) {
    const QFontMetrics metrics(CanvasFont(), &printer);
    LinesPerPage = LinesFor(printer.height(), metrics.height());
}

int TCallListPrinter::PageCount(int records) {
    if (records <= 0) return 0;
    return records / LinesPerPage + (records % LinesPerPage ? 1 : 0);
}

int TCallListPrinter::RecordCount() const {
    TVolgaDataset* set = source_.Dataset;
    return set && set->Active() ? set->RecordCount() : 0;
}

QString TCallListPrinter::Shorten(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QString t = text;
    while (t.size() > 5 && metrics.horizontalAdvance(t) > maxWidth)
        t = t.left(t.size() - 4) + BrowsingTexts::kShortened;
    return t;
}

void TCallListPrinter::DrawPage(QPainter& canvas, int page, int pageHeight, int pageWidth,
                                int total) {
    const double w = pageWidth, h = pageHeight;
    // A blank page.
    canvas.setPen(Qt::black);
    canvas.fillRect(QRect(0, 0, pageWidth, pageHeight), Qt::white);

    // The title, right-aligned, and the rule; the rule is about as thick as a screen pixel
    // whatever the canvas's resolution.
    canvas.setFont(PrintFont(10));
    const QString title = BrowsingTexts::kPrintTitle;
    TextOut(canvas, Round(0.94 * w - canvas.fontMetrics().horizontalAdvance(title)),
            Round(0.0356 * h), title);
    canvas.setPen(QPen(Qt::black, std::max(1, pageWidth / 800)));
    canvas.drawLine(Round(0.05 * w), Round(0.03215 * h), Round(0.94 * w), Round(0.03215 * h));
    canvas.setPen(Qt::black);

    canvas.setFont(PrintFont(8, true));
    for (const Column& c : kColumns) TextOut(canvas, Round(c.Left * w), Round(0.06 * h), c.Caption);

    canvas.setFont(PrintFont(8));
    if (RecordCount() > 0) DrawRows(canvas, page, pageHeight, pageWidth);

    TextOut(canvas, Round(0.05 * w), Round(0.96 * h),
            QString(BrowsingTexts::kPageFooter).arg(page).arg(total));
}

QString TCallListPrinter::FolderName(int row, int folderField) {
    if (folderField < 0) return QString();
    const QString text = QString::fromStdString(source_.Dataset->TextAt(row, folderField));
    return source_.Tree ? folders_.value(text.trimmed()) : text;
}

void TCallListPrinter::DrawRows(QPainter& canvas, int page, int pageHeight, int pageWidth) {
    TVolgaDataset& set = *source_.Dataset;
    const DisplaySuspended suspended(source_.Model);
    const double w = pageWidth, h = pageHeight;
    const QFontMetrics metrics = canvas.fontMetrics();
    const int y0 = Round(0.06 * h);
    const int below = Round(0.0106 * h);

    const int channelField = FieldIndex(set, "Channel");
    const int dateField = FieldIndex(set, "Date");
    const int timeField = FieldIndex(set, "startTime");
    const int durationField = FieldIndex(set, "duration");
    const int directionField = FieldIndex(set, "callDir");
    const int folderField = FieldIndex(set, source_.Tree ? "FolderId" : "Folder");
    const int dtmfField = FieldIndex(set, "dtmf");
    const int callerField = FieldIndex(set, "callerID");
    const int memoField = FieldIndex(set, "Memo");
    auto text = [&set](int row, int field) {
        return field < 0 ? QString() : QString::fromStdString(set.TextAt(row, field));
    };
    const TChannelTable& channels = TChannelTable::Instance();

    const int first = (page - 1) * LinesPerPage;
    const int records = set.RecordCount();
    for (int n = 1; n <= LinesPerPage && first + n - 1 < records; ++n) {
        const int row = first + n - 1;
        const int top = Round(n * 0.85 * h / LinesPerPage) + y0 + below;
        for (const Column& c : kColumns) {
            QString cell;
            switch (c.Shows) {
                case Content::Num:
                    cell = QString::number(first + n);
                    break;
                case Content::Channel: {
                    const int channel = channelField < 0 ? -1 : text(row, channelField).toInt();
                    if (channel >= 0 && channel < TChannelTable::kCapacity)
                        cell = channels[channel].Tag;
                    break;
                }
                case Content::Date:
                    cell = text(row, dateField);
                    break;
                case Content::Time:
                    cell = text(row, timeField);
                    break;
                case Content::Duration:
                    // "hh:nn:ss": the display form of the Calls table's time, the search
                    // result's text as it is.
                    if (durationField >= 0)
                        cell = QString::fromStdString(set.DisplayTextAt(row, durationField));
                    break;
                case Content::Direction:
                    cell = text(row, directionField);
                    break;
                case Content::Folder:
                    cell = FolderName(row, folderField);
                    break;
                case Content::Dtmf:
                    cell = text(row, dtmfField);
                    break;
                case Content::CallerId:
                    cell = text(row, callerField);
                    break;
                case Content::Memo:
                    cell = text(row, memoField);
                    break;
            }
            if (c.MaxWidth > 0) cell = Shorten(cell, metrics, Round(c.MaxWidth * w));
            TextOut(canvas, Round(c.Left * w), top, cell);
        }
    }
}

bool TCallListPrinter::Print(QPrinter& printer, int from, int to, int total, int copies,
                             QString* error) {
    printer.setDocName(BrowsingTexts::kDocumentTitle);
    printer.setCopyCount(copies);
    if (from > to) return true;
    const DisplaySuspended suspended(source_.Model);
    auto jobFailed = [&printer, error] {
        if (error)
            *error = printer.outputFormat() == QPrinter::PdfFormat
                         ? QString(BrowsingTexts::kPdfNotWritten).arg(printer.outputFileName())
                         : QString(BrowsingTexts::kPrintNotStarted).arg(printer.printerName());
        return false;
    };
    QPainter canvas;
    if (!canvas.begin(&printer)) return jobFailed();
    try {
        for (int page = from; page <= to; ++page) {
            if (page > from && !printer.newPage())
                throw std::runtime_error(BrowsingTexts::kNewPageFailed);
            DrawPage(canvas, page, printer.height(), printer.width(), total);
        }
    } catch (const std::exception& e) {
        canvas.end();
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
    if (!canvas.end()) return jobFailed();
    return true;
}
