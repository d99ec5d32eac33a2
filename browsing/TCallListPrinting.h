// The File menu's "Print Setup...", "Print Preview" and "Print..." on the call list of the grid
// in view: the logger's Calls table of the selected folder, or the search result. One printer
// is kept for the run; on a machine with no printer installed it prints to a PDF file the user
// names. LinesPerPage is recomputed for the printer before each setup, print and preview. After
// a print or a preview the grid's dataset and the grid are back on the record they were on.
// Main thread only.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "TfmPrintDlg.h"

class ICallRows;
class QPrinter;
class QWidget;
class TDatasetModel;
class TFolderTree;
class TVolgaDataset;

class TCallListPrinting : public QObject {
    Q_OBJECT
public:
    // The grid in view.
    struct Target {
        TVolgaDataset* Dataset = nullptr;
        TDatasetModel* Model = nullptr;  // its display is suspended while pages are drawn
        bool SearchDataset = false;      // the search result (its folder is a lookup field)
        ICallRows* Grid = nullptr;       // put back on its row afterwards; may be null
    };

    // `tree` names the logger's folders; `mainWindow` is hidden during the preview, which
    // takes its place and size, and is the dialogs' parent. Both outlive this.
    TCallListPrinting(const TFolderTree& tree, QWidget* mainWindow, QObject* parent = nullptr);
    ~TCallListPrinting() override;

    // Must be set: the grid in view.
    std::function<Target()> VisibleGrid;
    // The PDF file to print to when no printer is installed (empty: cancelled). A save dialog
    // unless set.
    std::function<QString()> ChoosePdfFile;

    QPrinter& Printer() { return *printer_; }
    // No printer is installed: "Print..." writes a PDF file.
    bool PrintsToFile() const;

    // The system's page setup dialog on the printer.
    void PrintSetup();
    // The preview of the grid's list; true when the user chose "Print" there (the list is then
    // printed as "Print..." prints it).
    bool PrintPreview();
    // The print dialog, then the pages chosen.
    void Print();

    // The pages a choice prints of a list of `pageCount` pages, and the total their footers
    // show (the "To:" number).
    struct Range {
        int From = 1;
        int To = 0;
        int Total = 0;
    };
    static Range PagesOf(const TfmPrintDlg::Choice& choice, int pageCount);

private:
    Target Visible() const;
    QString PrinterName() const;
    QString AskPdfFile() const;
    static void BackOnRecord(const Target& target, int recNo);

    const TFolderTree& tree_;
    QWidget* mainWindow_;
    std::unique_ptr<QPrinter> printer_;
};
