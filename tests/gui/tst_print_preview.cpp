// The print preview in the running program, over the logger grid's calls: it takes the main
// window's place while the main window is hidden; "Next page" and "Previous page" move through
// the pages and stop at either end; "Close" brings the main window back with the grid on the
// row it was on; "Print" goes on to the print dialog and prints the list to a PDF file. "Print
// Setup..." shows the page setup dialog and counts the rows a page takes again.
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "CallSupport.h"
#include "GuiSupport.h"
#include "TCallListPrinter.h"
#include "TCallListPrinting.h"
#include "TCallsGrid.h"
#include "TPreviewPages.h"
#include "TfmPreview.h"
#include "TfmPrintDlg.h"

namespace {

int PdfPageCount(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return static_cast<int>(pages.size());
}

}  // namespace

class TestPrintPreview : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TProgramHome> home_;
    std::unique_ptr<TPelmApplication> program_;
    std::unique_ptr<TCallListPrinting> printing_;
    int lines_ = 0;

    // The program with a list of two full pages and a few rows on a small (A6) page, and the
    // printing of its logger grid.
    void Start() {
        program_ = StartProgram({"--audio-input=tone"});
        QVERIFY(program_);
        TfmPelmUsb* w = program_->MainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->resize(800, 600);
        printing_ = std::make_unique<TCallListPrinting>(program_->Database()->Tree, w);
        printing_->VisibleGrid = [this, w] {
            return TCallListPrinting::Target{&program_->Database()->tblCalls,
                                             program_->LoggerModel(), false, w->gdLogger()};
        };
        printing_->Printer().setPageSize(QPageSize(QPageSize::A6));
        TCallListPrinter::ComputeLinesPerPage(printing_->Printer());
        lines_ = TCallListPrinter::LinesPerPage;
        for (int i = 0; i < 2 * lines_ + 3; ++i) {
            Tchannel c;
            c.Number = i % 2;
            c.CallerId = "555" + QString::number(i);
            c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(8, 0).addSecs(i)));
            c.StopTime = c.StartTime + 20 / 86400.0;
            program_->Database()->AddCall(c);
        }
        QCOMPARE(program_->Database()->tblCalls.RecordCount(), 2 * lines_ + 3);
        home_->Messages.Shown.clear();  // the start's own (no sound card here)
    }

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() { home_ = std::make_unique<TProgramHome>(); }
    void cleanup() {
        printing_.reset();
        program_.reset();
        home_.reset();
    }

    void pagesMoveAndCloseBringsTheMainWindowBack() {
        Start();
        TfmPelmUsb* w = program_->MainWindow();
        TCallsGrid* grid = w->gdLogger();
        grid->setCurrentIndex(grid->model()->index(4, 0));
        QCOMPARE(program_->Database()->tblCalls.RecNo(), 5);

        bool answered = false;
        WhenModal<TfmPreview>([&](TfmPreview* preview) {
            answered = true;
            QVERIFY(!w->isVisible());
            QCOMPARE(preview->windowTitle(), QString("Print preview"));
            QCOMPARE(preview->size(), w->size());
            TPreviewPages& pages = preview->Pages();
            QCOMPARE(pages.Page(), 1);
            QCOMPARE(pages.Total(), 3);
            const QImage first = pages.Bitmap();
            QVERIFY(!first.isNull());

            preview->btnNext->click();
            QCOMPARE(pages.Page(), 2);
            QVERIFY(pages.Bitmap() != first);
            preview->btnNext->click();
            QCOMPARE(pages.Page(), 3);
            const QImage last = pages.Bitmap();
            preview->btnNext->click();  // on the last page: nothing
            QCOMPARE(pages.Page(), 3);
            QCOMPARE(pages.Bitmap(), last);

            preview->btnPrevious->click();
            preview->btnPrevious->click();
            QCOMPARE(pages.Page(), 1);
            QCOMPARE(pages.Bitmap(), first);
            preview->btnPrevious->click();  // on the first page: nothing
            QCOMPARE(pages.Page(), 1);

            // The page is drawn on the silver background, within the window.
            const QImage shown = preview->grab().toImage();
            const QPoint at = pages.Position(preview->size());
            const QSize scaled = pages.Scaled(preview->size()).size();
            QVERIFY(at.x() >= 0 && at.y() > 0 && scaled.height() <= preview->height());
            QCOMPARE(QColor(shown.pixel(2, shown.height() - 2)), QColor(0xC0, 0xC0, 0xC0));
            QCOMPARE(QColor(shown.pixel(at.x() + scaled.width() / 2, at.y() + 2)),
                     QColor(Qt::white));
            preview->btnClose->click();
        });
        QVERIFY(!printing_->PrintPreview());
        QVERIFY(answered);
        QVERIFY(w->isVisible());
        QCOMPARE(program_->Database()->tblCalls.RecNo(), 5);
        QCOMPARE(grid->currentIndex().row(), 4);
        QCOMPARE(grid->model()->rowCount(), 2 * lines_ + 3);
    }

    void printSetupRecomputesTheLinesPerPage() {
        Start();
        // Cancelled: the count is taken again for the same page.
        TCallListPrinter::LinesPerPage = 3;
        WhenModal<QPageSetupDialog>([](QPageSetupDialog* dialog) { dialog->reject(); });
        printing_->PrintSetup();
        QCOMPARE(TCallListPrinter::LinesPerPage, lines_);

        // The page turned to landscape: a lower page takes fewer rows.
        bool answered = false;
        WhenModal<QPageSetupDialog>([&](QPageSetupDialog* dialog) {
            for (QRadioButton* b : dialog->findChildren<QRadioButton*>())
                if (b->text().remove('&') == "Landscape") {
                    b->click();
                    answered = true;
                }
            dialog->accept();
        });
        printing_->PrintSetup();
        QVERIFY(answered);
        QCOMPARE(printing_->Printer().pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(TCallListPrinter::LinesPerPage < lines_);
        QVERIFY(TCallListPrinter::LinesPerPage > 3);
    }

    void printFromThePreviewWritesTheList() {
        Start();
        QTemporaryDir out;
        const QString pdf = out.path() + "/calls.pdf";
        printing_->ChoosePdfFile = [&] { return pdf; };
        WhenModal<TfmPreview>([&](TfmPreview* preview) {
            WhenModal<TfmPrintDlg>([](TfmPrintDlg* dialog) {
                QCOMPARE(dialog->lblName->text(), QString("Name: PDF file"));
                dialog->btnOk->click();
            });
            preview->btnPrint->click();
        });
        QVERIFY(printing_->PrintPreview());
        QVERIFY(program_->MainWindow()->isVisible());
        QCOMPARE(PdfPageCount(pdf), 3);
        QCOMPARE(home_->Messages.Shown, QStringList());
    }
};

PELM_GUI_TEST_MAIN(TestPrintPreview)
#include "tst_print_preview.moc"
