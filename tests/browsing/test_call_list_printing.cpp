// The printed call list: pages printed to PDF through QPrinter and read back with pdftotext
// (rows per page, running numbers, footers, channel tags, folder names, shortened memos), the
// range a print dialog choice prints, a PDF that cannot be written, the shortening rule, the
// page arithmetic, the preview bitmap's size and the averaging of ShrinkBitmap.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>

#include "BrowsingTexts.h"
#include "DatabaseFixture.h"
#include "ShrinkBitmap.h"
#include "TCallListPrinter.h"
#include "TCallListPrinting.h"
#include "TChannelTable.h"
#include "TDatasetModel.h"
#include "TPreviewPages.h"
#include "Tchannel.h"
#include "TfmPelmorantDB.h"
#include "TfmPrintDlg.h"

namespace {

const QString kLongMemo =
    "Customer asked for a call back about the order of the twelve blue folders and the invoice";

// The text of each page of a PDF, as pdftotext lays it out.
QStringList PdfPages(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// The running numbers of the rows on a page. Call i has the caller ID "555" + i: a row whose
// number is not its call's counts as -1.
QList<int> RowNumbers(const QString& page) {
    static const QRegularExpression row(R"(^\s*(\d+)\s.*\s555(\d+)\s)");
    QList<int> numbers;
    for (const QString& line : page.split('\n')) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) numbers << (m.captured(1) == m.captured(2) ? m.captured(1).toInt() : -1);
    }
    return numbers;
}

QList<int> Range(int from, int to) {
    QList<int> r;
    for (int i = from; i <= to; ++i) r << i;
    return r;
}

// Runs `answer` on the print dialog once it shows.
void AnswerPrintDialog(const std::function<void(TfmPrintDlg*)>& answer) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* dialog = qobject_cast<TfmPrintDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

class CallListPrintingTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        settings.cbxSaveCallerName = true;  // the memo is the caller's name
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        savedTags = {TChannelTable::Instance()[0].Tag, TChannelTable::Instance()[1].Tag};
        TChannelTable::Instance()[0].Tag = "Sales";
        TChannelTable::Instance()[1].Tag = "Support";
        savedLines = TCallListPrinter::LinesPerPage;
    }
    void TearDown() override {
        TChannelTable::Instance()[0].Tag = savedTags.value(0);
        TChannelTable::Instance()[1].Tag = savedTags.value(1);
        TCallListPrinter::LinesPerPage = savedLines;
        DatabaseFixture::TearDown();
    }
    // `count` calls of 30 seconds, alternately on channels 0 and 1; call `longMemo` (from 1)
    // has a memo too long for its column.
    void File(int count, int longMemo = 0) {
        for (int i = 1; i <= count; ++i) {
            Tchannel c;
            c.Number = (i - 1) % 2;
            c.InOut = 0;
            c.CallerId = "555" + QString::number(i);
            c.CallerName = i == longMemo ? kLongMemo : "memo " + QString::number(i);
            c.StartTime = ToDateTime(QDateTime(QDate(2026, 12, 9), QTime(9, 0).addSecs(i * 60)));
            c.StopTime = c.StartTime + 30 / 86400.0;
            db->AddCall(c);
        }
    }
    void ToPdf(QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }

    std::unique_ptr<TfmPelmorantDB> db;
    int savedLines = 70;
    QStringList savedTags;
    QString pdf = dir.path() + "/list.pdf";
};

}  // namespace

TEST_F(CallListPrintingTest, AHundredAndTwentyCallsAtFiftyALineMakeThreePages) {
    File(120, 75);
    TDatasetModel model;
    model.SetDataset(&db->tblCalls, {{"Memo", "Memo"}});
    db->tblCalls.SetRecNo(7);
    TCallListPrinter::LinesPerPage = 50;
    TCallListPrinter list({&db->tblCalls, &model, &db->Tree});
    ASSERT_EQ(list.PageCount(), 3);

    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer);
    QString error;
    ASSERT_TRUE(list.Print(printer, 1, 3, 3, 1, &error)) << error.toStdString();
    EXPECT_EQ(printer.docName(), "document.pdf");
    // The grid's record and display are as they were.
    EXPECT_EQ(db->tblCalls.RecNo(), 7);
    EXPECT_EQ(model.rowCount(), 120);

    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(RowNumbers(pages[0]), Range(1, 50));
    EXPECT_EQ(RowNumbers(pages[1]), Range(51, 100));
    EXPECT_EQ(RowNumbers(pages[2]), Range(101, 120));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pages[i].contains("Pelmorant - call list"));
        EXPECT_TRUE(pages[i].contains(QString("Page %1 from 3").arg(i + 1)));
        EXPECT_TRUE(pages[i].contains(QRegularExpression(
            R"(Num\s+Channel\s+Date\s+Time\s+Duration\s+Direction\s+Folder\s+DTMF digits\s+)"
            R"(Caller ID\s+Memo)")));
    }
    // Every cell of a row: the channel's tag, date, time, duration, direction, the folder's
    // name, caller and memo.
    EXPECT_TRUE(pages[0].contains(QRegularExpression(
        R"(\n\s*2\s+Support\s+2026-1\.\.\s+09:02:00\s+00:00:30\s+Inbound\s+Main\s+5552\s+memo 2\s*\n)")))
        << pages[0].toStdString();
    // The long memo, on page 2, cut in steps of four characters into "..".
    const QString line75 =
        pages[1].split('\n').filter(QRegularExpression(R"(^\s*75\s)")).value(0).trimmed();
    const QString memo = line75.mid(line75.indexOf("Customer"));
    ASSERT_TRUE(memo.endsWith("..")) << line75.toStdString();
    const QString kept = memo.chopped(2);
    EXPECT_TRUE(kLongMemo.startsWith(kept));
    EXPECT_EQ((kLongMemo.size() - kept.size()) % 2, 0);  // each step takes two characters net
    EXPECT_LT(kept.size(), kLongMemo.size() - 20);
}

TEST_F(CallListPrintingTest, PagesTwoToThreeOfFiveShowTheToNumberAsTheirTotal) {
    TCallListPrinting printing(db->Tree, nullptr);
    QPrinter& printer = printing.Printer();
    ASSERT_TRUE(printing.PrintsToFile());  // no printer installed here
    // A small page takes fewer rows.
    printer.setPageSize(QPageSize(QPageSize::A6));
    TCallListPrinter::ComputeLinesPerPage(printer);
    const int lines = TCallListPrinter::LinesPerPage;
    ASSERT_GT(lines, 5);
    File(4 * lines + 1);
    printing.VisibleGrid = [this] {
        return TCallListPrinting::Target{&db->tblCalls, nullptr, false, nullptr};
    };
    printing.ChoosePdfFile = [this] { return pdf; };

    AnswerPrintDialog([](TfmPrintDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Print");
        EXPECT_TRUE(dialog->rbAll->isChecked());
        EXPECT_EQ(dialog->speFrom->value(), 1);
        EXPECT_EQ(dialog->speTo->value(), 5);
        EXPECT_EQ(dialog->lblOrientation->text(), "Orientation: Portrait");
        dialog->speFrom->setValue(2);
        dialog->speTo->setValue(3);
        EXPECT_TRUE(dialog->rbPages->isChecked());  // a changed number chooses the pages
        dialog->btnOk->click();
    });
    printing.Print();
    EXPECT_EQ(TCallListPrinter::LinesPerPage, lines);  // the same printer, the same count
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Page 2 from 3"));
    EXPECT_TRUE(pages[1].contains("Page 3 from 3"));
    EXPECT_EQ(RowNumbers(pages[0]).value(0), lines + 1) << pages[0].toStdString();
    EXPECT_EQ(RowNumbers(pages[1]).value(0), 2 * lines + 1) << pages[1].toStdString();

    // "All" prints every page with the "To:" number as the total.
    const auto all = TCallListPrinting::PagesOf({true, 2, 5, 1}, 5);
    EXPECT_EQ(std::tuple(all.From, all.To, all.Total), std::tuple(1, 5, 5));

    // Cancelling the file choice prints nothing.
    QFile::remove(pdf);
    printing.ChoosePdfFile = [] { return QString(); };
    AnswerPrintDialog([](TfmPrintDlg* dialog) { dialog->btnOk->click(); });
    printing.Print();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(CallListPrintingTest, TheSearchResultPrintsItsFolderLookupAndDurationText) {
    File(3);
    db->queSearch.Open();
    ASSERT_EQ(db->queSearch.RecordCount(), 3);
    TCallListPrinter::LinesPerPage = 50;
    TCallListPrinter list({&db->queSearch, nullptr, nullptr});
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer);
    ASSERT_TRUE(list.Print(printer, 1, 1, 1, 1, nullptr));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QRegularExpression(
        R"(\n\s*3\s+Sales\s+\S+\s+\S+\s+00:00:30\s+Inbound\s+Main\s+5553\s+memo 3)")))
        << pages[0].toStdString();
}

TEST_F(CallListPrintingTest, APdfThatCannotBeWrittenIsSaidAfterTheDisplayResumes) {
    File(3);
    TDatasetModel model;
    model.SetDataset(&db->tblCalls, {{"Memo", "Memo"}});
    TCallListPrinting printing(db->Tree, nullptr);
    printing.VisibleGrid = [&] {
        return TCallListPrinting::Target{&db->tblCalls, &model, false, nullptr};
    };
    const QString unwritable = dir.path() + "/no/such/folder/list.pdf";
    printing.ChoosePdfFile = [&] { return unwritable; };
    int rowsWhenSaid = -1;
    struct Sink : RecordingMessages {
        std::function<void()> onShow;
        void Show(const QString& text) override {
            RecordingMessages::Show(text);
            if (onShow) onShow();
        }
    } sink;
    sink.onShow = [&] { rowsWhenSaid = model.rowCount(); };
    TMessages::Install(&sink);
    AnswerPrintDialog([](TfmPrintDlg* dialog) { dialog->btnOk->click(); });
    printing.Print();
    EXPECT_EQ(sink.shown, QStringList{"The PDF file " + unwritable + " could not be written"});
    EXPECT_EQ(rowsWhenSaid, 3);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // the dialog is gone
}

TEST(CallListPages, ShorteningAndPageArithmetic) {
    const int saved = TCallListPrinter::LinesPerPage;
    const QFontMetrics metrics(TCallListPrinter::CanvasFont());
    // Four characters become ".." at each step, while the text is longer than five.
    EXPECT_EQ(TCallListPrinter::Shorten("abcdefghij", metrics, 0), "ab..");
    EXPECT_EQ(TCallListPrinter::Shorten("abcdefghi", metrics, 0), "abc..");
    EXPECT_EQ(TCallListPrinter::Shorten("abcde", metrics, 0), "abcde");
    const QString wide = "abcdefghijklmnopqrstuvwxyz";
    const int half = metrics.horizontalAdvance(wide) / 2;
    const QString cut = TCallListPrinter::Shorten(wide, metrics, half);
    EXPECT_LE(metrics.horizontalAdvance(cut), half);
    const QString stepBefore = wide.left(cut.size()) + "..";
    EXPECT_GT(metrics.horizontalAdvance(stepBefore), half);  // one step less would not fit
    EXPECT_EQ(TCallListPrinter::Shorten(wide, metrics, 10 * half), wide);

    EXPECT_EQ(TCallListPrinter::LinesFor(1000, 10), 71);  // 850 / 12
    EXPECT_EQ(TCallListPrinter::LinesFor(1000, 0), 70);
    TCallListPrinter::LinesPerPage = 50;
    EXPECT_EQ(TCallListPrinter::PageCount(0), 0);
    EXPECT_EQ(TCallListPrinter::PageCount(100), 2);
    EXPECT_EQ(TCallListPrinter::PageCount(101), 3);
    TCallListPrinter::LinesPerPage = saved;
}

TEST(CallListPages, ThePreviewBitmapIsThePrintersPageAtScreenTextSize) {
    for (auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageOrientation(orientation);
        const QSize size = TPreviewPages::BitmapSize(printer);
        // The printable area in the bitmap's pixels, within the rounding of the text heights.
        const QImage probe(1, 1, QImage::Format_RGB32);
        const double expectedWidth =
            printer.width() * double(probe.logicalDpiX()) / printer.logicalDpiX();
        EXPECT_NEAR(size.width(), expectedWidth, expectedWidth * 0.1);
        EXPECT_NEAR(double(size.height()) / size.width(),
                    double(printer.height()) / printer.width(), 0.01);
    }
}

TEST(ShrinkBitmap, EachTargetPixelIsTheAverageOfItsSourcePixels) {
    // Red grows with x, green with y; blue is constant.
    QImage source(5, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) source.setPixel(x, y, qRgb(10 * x, 20 * y, 7));
    QImage target;
    ShrinkBitmap(60, source, target);  // 3 × 3: columns and rows {0, 1}, {2, 3}, {4}
    ASSERT_EQ(target.size(), QSize(3, 3));
    EXPECT_EQ(target.format(), QImage::Format_RGB32);
    const int reds[] = {5, 25, 40}, greens[] = {10, 50, 80};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(target.pixel(x, y), qRgb(reds[x], greens[y], 7)) << x << "," << y;

    // 0 percent: 5 × 5, here 2 × 2 blocks of a 10 × 10 picture; a block of black and white
    // pixels (two each) is mid grey.
    QImage checks(10, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : 0);
    ShrinkBitmap(0, checks, target);
    ASSERT_EQ(target.size(), QSize(5, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(target.pixel(x, y), qRgb(127, 127, 127));

    // An enlargement leaves no pixel empty: each takes the source pixel it lies over.
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(200, 0, 0));
    two.setPixel(1, 0, qRgb(0, 0, 200));
    ShrinkBitmap(200, two, target);
    ASSERT_EQ(target.size(), QSize(4, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.pixel(x, y), x < 2 ? qRgb(200, 0, 0) : qRgb(0, 0, 200));
}
