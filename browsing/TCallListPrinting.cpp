#include "TCallListPrinting.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "BrowsingTexts.h"
#include "ICallRows.h"
#include "TCallListPrinter.h"
#include "TMessages.h"
#include "TPreviewPages.h"
#include "TVolgaDataset.h"
#include "TfmPreview.h"

TCallListPrinting::TCallListPrinting(const TFolderTree& tree, QWidget* mainWindow, QObject* parent)
    : QObject(parent),
      tree_(tree),
      mainWindow_(mainWindow),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (QPrinterInfo::availablePrinters().isEmpty()) printer_->setOutputFormat(QPrinter::PdfFormat);
}

TCallListPrinting::~TCallListPrinting() = default;

bool TCallListPrinting::PrintsToFile() const {
    return printer_->outputFormat() == QPrinter::PdfFormat;
}

TCallListPrinting::Target TCallListPrinting::Visible() const {
    Target t = VisibleGrid ? VisibleGrid() : Target{};
    if (t.Dataset && !t.Dataset->Active()) t.Dataset = nullptr;
    return t;
}

QString TCallListPrinting::PrinterName() const {
    return PrintsToFile() ? QString(BrowsingTexts::kPdfPrinterName) : printer_->printerName();
}

QString TCallListPrinting::AskPdfFile() const {
    QString file = QFileDialog::getSaveFileName(
        mainWindow_, BrowsingTexts::kPdfFileCaption,
        QDir::home().filePath(BrowsingTexts::kDocumentTitle), BrowsingTexts::kPdfFilter);
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty()) file += ".pdf";
    return file;
}

void TCallListPrinting::BackOnRecord(const Target& target, int recNo) {
    TVolgaDataset* set = target.Dataset;
    if (!set || !set->Active() || recNo <= 0 || recNo > set->RecordCount()) return;
    set->SetRecNo(recNo);
    if (target.Grid) target.Grid->SetCurrentRow(recNo - 1);
}

TCallListPrinting::Range TCallListPrinting::PagesOf(const TfmPrintDlg::Choice& choice,
                                                    int pageCount) {
    if (choice.All) return Range{1, pageCount, choice.To};
    return Range{choice.From, choice.To, choice.To};
}

void TCallListPrinting::PrintSetup() {
    TCallListPrinter::ComputeLinesPerPage(*printer_);
    QPageSetupDialog dialog(printer_.get(), mainWindow_);
    if (dialog.exec() == QDialog::Accepted) TCallListPrinter::ComputeLinesPerPage(*printer_);
}

void TCallListPrinting::Print() {
    const Target target = Visible();
    if (!target.Dataset) return;
    const int recNo = target.Dataset->RecNo();
    TCallListPrinter::ComputeLinesPerPage(*printer_);
    TCallListPrinter list({target.Dataset, target.Model, target.SearchDataset ? nullptr : &tree_});
    const int pages = list.PageCount();
    if (pages == 0) return;  // an empty list: the menu items are off for it anyway

    TfmPrintDlg::Choice choice;
    {
        TfmPrintDlg dialog(PrinterName(),
                           printer_->pageLayout().orientation() == QPageLayout::Landscape,
                           TCallListPrinter::CanvasFont(), pages, mainWindow_);
        if (dialog.exec() != QDialog::Accepted) return;
        choice = dialog.Chosen();
    }
    if (PrintsToFile()) {
        const QString file = ChoosePdfFile ? ChoosePdfFile() : AskPdfFile();
        if (file.isEmpty()) return;
        printer_->setOutputFileName(file);
    }
    const Range range = PagesOf(choice, pages);
    QString error;
    const bool printed =
        list.Print(*printer_, range.From, range.To, range.Total, choice.Copies, &error);
    BackOnRecord(target, recNo);
    if (!printed) ShowMessage(error);
}

bool TCallListPrinting::PrintPreview() {
    const Target target = Visible();
    if (!target.Dataset) return false;
    const int recNo = target.Dataset->RecNo();
    TCallListPrinter::ComputeLinesPerPage(*printer_);
    TCallListPrinter list({target.Dataset, target.Model, target.SearchDataset ? nullptr : &tree_});
    TPreviewPages pages(list, *printer_);

    bool print = false;
    {
        TfmPreview preview(pages);
        if (mainWindow_) {
            preview.setGeometry(mainWindow_->geometry());
            mainWindow_->hide();
        }
        QString error;
        if (!pages.Render(&error)) {
            ShowMessage(error);
        } else {
            preview.exec();
            print = preview.PrintChosen();
        }
        if (mainWindow_) mainWindow_->show();
    }
    if (print) Print();
    BackOnRecord(target, recNo);
    return print;
}
