// The call list of a grid as printed pages. `DrawPage` draws one page of the list onto any
// canvas, a printer's page or the preview's bitmap, by one page geometry in fractions of the
// page's size: the title and its rule, the column captions, `LinesPerPage` call rows and the
// footer "Page n from t". `Print` sends a range of pages to a printer as one job. Rows are read
// by their index in the dataset, so drawing a page costs the same wherever it lies in the list,
// and the dataset's current record never moves; the grid's display is suspended while rows are
// read. Main thread only: the dataset, the grid's model and the channel table belong to it.
#pragma once

#include <QFont>
#include <QHash>
#include <QString>

class QFontMetrics;
class QPainter;
class QPrinter;
class TDatasetModel;
class TFolderTree;
class TVolgaDataset;

class TCallListPrinter {
public:
    // The list to print: the grid's dataset and its model. The folder column shows the NodeText
    // of the folder whose FolderID is the call's FolderId when a tree is given (the logger's
    // Calls table), otherwise the dataset's "Folder" lookup field (the search result).
    struct Source {
        TVolgaDataset* Dataset = nullptr;
        TDatasetModel* Model = nullptr;  // null: no grid shows the dataset
        const TFolderTree* Tree = nullptr;
    };

    explicit TCallListPrinter(const Source& source);

    // Call rows per page, one value for the whole run; ComputeLinesPerPage sets it before
    // each print setup, print and preview.
    static int LinesPerPage;
    // LinesPerPage for the printable height of `printer` and its canvas font.
    static void ComputeLinesPerPage(QPrinter& printer);
    // round(printable height × 0.85 / (text height × 1.2)); 70 when the text height is not
    // positive, and at least one row on a page too small for any.
    static int LinesFor(int printableHeight, int textHeight);
    // ceil(records / LinesPerPage).
    static int PageCount(int records);

    // The printer canvas's font, which the print dialog names and the preview's scale is
    // measured with: the system's sans-serif font at 8 points.
    static QFont CanvasFont();
    // The system's sans-serif font at `pointSize`.
    static QFont PrintFont(int pointSize, bool bold = false);
    // `text` cut for a column `maxWidth` wide: while it is wider and longer than five
    // characters, its last four characters become "..".
    static QString Shorten(const QString& text, const QFontMetrics& metrics, int maxWidth);

    int RecordCount() const;
    int PageCount() const { return PageCount(RecordCount()); }

    // Draws page `page` (from 1) on a canvas `pageWidth` × `pageHeight` pixels; `total` is
    // only shown in the footer. The dataset's errors pass to the caller.
    void DrawPage(QPainter& canvas, int page, int pageHeight, int pageWidth, int total);

    // Prints pages `from` to `to` with `total` in their footers and `copies` set on the
    // printer, under the document title "document.pdf". On failure the job is ended, the
    // grid's display resumed and false returned with the reason in `error`.
    bool Print(QPrinter& printer, int from, int to, int total, int copies, QString* error);

private:
    void DrawRows(QPainter& canvas, int page, int pageHeight, int pageWidth);
    QString FolderName(int row, int folderField);

    Source source_;
    // FolderID to folder name, taken from the tree once.
    QHash<QString, QString> folders_;
};
