// The Search page in the running program: the criteria rows (adding, changing a row's field,
// removing on the timer, the folder picker, "Clear"), "Search" filling the search grid, an
// engine error shown with an empty grid, and the File menu's actions on the search grid's rows
// (enabled states, memo, move, delete).
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <fstream>

#include "BrowsingTexts.h"
#include "CallsTableGenerator.h"
#include "GuiSupport.h"
#include "TCallListPrinting.h"
#include "TCallsGrid.h"
#include "TFolderTree.h"
#include "TGridNavigator.h"
#include "TSearchPage.h"
#include "TVisualSql.h"
#include "TfmGetFolder.h"
#include "TfmMoveTo.h"
#include "TfmPelmorantDB.h"
#include "TfmPrintDlg.h"

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; box && i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TProgramHome> home_;
    std::vector<callsgen::CallRow> calls_;

    std::unique_ptr<TPelmApplication> Start() {
        auto p = StartProgram({"--audio-input=tone"});
        if (!p) return p;
        p->MainController()->ShowView(TMainController::vSearch);
        if (!QTest::qWaitForWindowExposed(p->MainWindow())) return nullptr;
        return p;
    }

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() {
        home_ = std::make_unique<TProgramHome>();
        // Forty calls of the generator on channels 0 and 1, there before the program starts.
        QDir().mkpath(home_->Dirs.DataDir());
        callsgen::CallsGenerator gen(5);
        calls_.clear();
        for (int i = 0; i < 40; ++i) calls_.push_back(gen.Next());
        calls_[3].Channel = 1;
        calls_[3].FileName = "SMDR";  // a call kept as a record only
        std::ofstream(home_->Dirs.DataDir().toStdString() + "/Calls.d", std::ios::binary)
            << callsgen::CallsImage(calls_);
    }
    void cleanup() { home_.reset(); }

    void theCriteriaRows() {
        auto p = Start();
        QVERIFY(p);
        TSearchPage* page = p->MainWindow()->Pages().Search;
        TVisualSql* rows = page->VisualSql();
        QVERIFY(page->isVisible());
        QVERIFY(!page->MatchAny()->isVisible());  // the matching choice stays hidden
        QCOMPARE(rows->RowCount(), 1);
        QCOMPARE(rows->RowAt(0).FieldSelector->currentText(), QString("Memo"));
        QCOMPARE(Items(rows->RowAt(0).OperatorSelector),
                 QStringList({"Contains", "Doesn't contain", "is", "is not"}));
        QVERIFY(!rows->RowAt(0).Minus->isEnabled());

        // "+" adds a row under the first; the first row's "-" can now be used.
        rows->RowAt(0).Plus->click();
        QCOMPARE(rows->RowCount(), 2);
        QVERIFY(rows->RowAt(0).Minus->isEnabled());
        QCOMPARE(rows->RowAt(1).FieldSelector->geometry(),
                 QRect(10, 35, 100, rows->RowAt(1).FieldSelector->height()));
        QCOMPARE(rows->RowAt(1).Minus->geometry(), QRect(382, 33, 32, 25));

        // A Channel row offers the channel numbers; a Folder row a "Select" button.
        rows->RowAt(1).FieldSelector->setCurrentIndex(
            rows->RowAt(1).FieldSelector->findText("Channel"));
        QCOMPARE(Items(qobject_cast<QComboBox*>(rows->RowAt(1).Value)), QStringList({"0", "1"}));
        QCOMPARE(Items(rows->RowAt(1).OperatorSelector),
                 QStringList({"is", "is not", "Is less than", "Is greater than"}));
        rows->RowAt(0).Plus->click();
        rows->RowAt(2).FieldSelector->setCurrentIndex(
            rows->RowAt(2).FieldSelector->findText("Folder"));
        QVERIFY(!rows->RowAt(2).OperatorSelector);
        QPushButton* select = rows->RowAt(2).SelectButton;
        QVERIFY(select && select->isVisible());
        QCOMPARE(select->text(), QString("Select"));
        TFolderTree& tree = p->Database()->Tree;
        QStandardItem* main = tree.NodeAt(0);
        WhenModal([&](QWidget* modal) {
            auto* picker = qobject_cast<TfmGetFolder*>(modal);
            QVERIFY(picker);
            QCOMPARE(picker->windowTitle(), QString(BrowsingTexts::kFoldersCaption));
            picker->Tree()->setCurrentIndex(main->index());
            picker->OkButton()->click();
        });
        select->click();
        QCOMPARE(qobject_cast<QLineEdit*>(rows->RowAt(2).Value)->text(), main->text());
        QCOMPARE(rows->RowAt(2).Folder.FolderID, TFolderTree::FolderId(main));
        QVERIFY(rows->BuildSql("AND").endsWith("calls.FolderID= \"" + TFolderTree::FolderId(main) +
                                               "\""));

        // "-" removes its row on the timer's next tick; the rows below move up.
        QPushButton* channelMinus = rows->RowAt(1).Minus;
        channelMinus->click();
        QCOMPARE(rows->RowCount(), 3);  // not while the button is being clicked
        QTRY_COMPARE(rows->RowCount(), 2);
        QCOMPARE(rows->RowAt(1).FieldSelector->currentText(), QString("Folder"));
        QCOMPARE(rows->RowAt(1).FieldSelector->y(), 35);
        rows->RowAt(0).Minus->click();
        QTRY_COMPARE(rows->RowCount(), 1);
        QCOMPARE(rows->RowAt(0).FieldSelector->currentText(), QString("Folder"));
        QVERIFY(!rows->RowAt(0).Minus->isEnabled());

        // "Clear" leaves one Memo row whose "-" cannot be used.
        rows->RowAt(0).Plus->click();
        rows->RowAt(0).Plus->click();
        page->ClearButton()->click();
        QCOMPARE(rows->RowCount(), 1);
        QCOMPARE(rows->RowAt(0).FieldSelector->currentText(), QString("Memo"));
        QVERIFY(!rows->RowAt(0).Minus->isEnabled());
        QVERIFY(rows->RowAt(0).Minus->isVisible());
    }

    void searchAndTheFileMenuOnTheSearchGrid() {
        auto p = Start();
        QVERIFY(p);
        TfmPelmUsb* w = p->MainWindow();
        TSearchPage* page = w->Pages().Search;
        TVisualSql* rows = page->VisualSql();
        TCallsGrid* grid = w->gdSearch();
        QVERIFY(!MenuItem(w, "Memo...")->isEnabled());  // no result yet

        // Channel is 1.
        rows->SetRowField(0, static_cast<int>(TSearchStatement::Field::Channel));
        qobject_cast<QComboBox*>(rows->RowAt(0).Value)->setCurrentText("1");
        page->SearchButton()->click();
        QStringList expected;
        for (const callsgen::CallRow& c : calls_)
            if (c.Channel == 1) expected << QString::fromStdString(c.CallId);
        QVERIFY(expected.size() > 2);
        TVolgaDataset& result = p->Database()->queSearch;
        QCOMPARE(grid->model()->rowCount(), expected.size());
        QStringList found;
        for (int r = 0; r < result.RecordCount(); ++r)
            found << QString::fromStdString(
                result.TextAt(r, result.FieldByName("callID").FieldNo()));
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("1"));

        // The File menu works on the search grid's rows, standing for the Calls records: an
        // "SMDR" row has no recording to copy or mail.
        grid->setFocus();
        const int fileName = result.FieldByName("fileName").FieldNo();
        int smdr = 0;
        while (result.TextAt(smdr, fileName) != "SMDR") ++smdr;
        grid->setCurrentIndex(grid->model()->index(smdr, 0));
        QCOMPARE(EnabledFileActions(w), kEditItems);
        grid->setCurrentIndex(grid->model()->index(smdr == 1 ? 2 : 1, 0));
        QCOMPARE(EnabledFileActions(w), kEditItems + kCopyMailItems);
        grid->clearSelection();
        grid->selectionModel()->select(grid->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid->selectionModel()->select(grid->model()->index(2, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const int memoColumn = 8;
        const std::string id0 = result.TextAt(0, result.FieldByName("callID").FieldNo());
        const std::string id2 = result.TextAt(2, result.FieldByName("callID").FieldNo());
        home_->Messages.InputAnswer = "found again";
        MenuItem(w, "Memo...")->trigger();
        TVolgaTable& calls = p->Database()->tblCalls;
        calls.SetFiltered(false);
        for (const std::string& id : {id0, id2}) {
            QVERIFY(calls.Locate("callID", TVolgaValue(id)));
            QCOMPARE(QString::fromStdString(calls.FieldByName("Memo").AsString()),
                     QString("found again"));
        }
        calls.SetFiltered(true);
        int withMemo = 0;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            withMemo += grid->model()->index(r, memoColumn).data().toString() == "found again";
        QCOMPARE(withMemo, 2);

        // A move through the "Move" dialog: the Folder column names the new folder.
        TFolderTree& tree = p->Database()->Tree;
        QStandardItem* customers = tree.AddChild(tree.NodeAt(0), "Customers", "CUSTOMER");
        // The tree is written to its table on the next second's timer, as after any change.
        p->MainController()->TreeChanged = true;
        QTRY_VERIFY(!p->MainController()->TreeChanged);
        grid->clearSelection();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        grid->clearSelection();
        const std::string moved = result.TextAt(0, result.FieldByName("callID").FieldNo());
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TfmMoveTo*>(modal);
            QVERIFY(dialog);
            dialog->Tree()->setCurrentIndex(customers->index());
            dialog->OkButton()->click();
        });
        MenuItem(w, "Move to...")->trigger();
        int row = 0;
        while (row < result.RecordCount() &&
               result.TextAt(row, result.FieldByName("callID").FieldNo()) != moved)
            ++row;
        QVERIFY(row < result.RecordCount());
        QCOMPARE(grid->model()->index(row, 5).data().toString(), QString("Customers"));

        // The delete button under the grid, confirmed: the row leaves the result and the Calls
        // table.
        home_->Messages.ConfirmAnswer = true;
        grid->clearSelection();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        const std::string doomed = result.TextAt(0, result.FieldByName("callID").FieldNo());
        page->Navigator()->Button("Delete")->click();
        QCOMPARE(grid->model()->rowCount(), expected.size() - 1);
        calls.SetFiltered(false);
        QVERIFY(!calls.Locate("callID", TVolgaValue(doomed)));
        calls.SetFiltered(true);

        // "Print..." prints the search result: the print dialog, then (no printer here) the PDF
        // file asked for (answered here without the file dialog, whose typed name the dialog
        // resolves against a folder it reads in the background).
        QVERIFY(MenuItem(w, "Print...")->isEnabled());
        QVERIFY(MenuItem(w, "Print Preview")->isEnabled());
        QTemporaryDir out;
        const QString pdf = out.path() + "/result.pdf";
        p->Printing()->ChoosePdfFile = [&pdf] { return pdf; };
        WhenModal<TfmPrintDlg>([](TfmPrintDlg* dialog) { dialog->btnOk->click(); });
        MenuItem(w, "Print...")->trigger();
        QVERIFY2(QFileInfo::exists(pdf), qPrintable(home_->Messages.Shown.join('\n')));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(10000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains("Pelmorant - call list"), qPrintable(printed));
        // One numbered row per call found.
        const QRegularExpression numbered("^\\s*(\\d+)\\s", QRegularExpression::MultilineOption);
        int rowsPrinted = 0;
        for (auto it = numbered.globalMatch(printed); it.hasNext();) {
            it.next();
            ++rowsPrinted;
        }
        QCOMPARE(rowsPrinted, grid->model()->rowCount());

        // "Match any of the terms" writes OR, which the engine refuses: said, and no rows.
        rows->RowAt(0).Plus->click();
        page->MatchAny()->setChecked(true);
        home_->Messages.Shown.clear();
        page->SearchButton()->click();
        QCOMPARE(home_->Messages.Shown.size(), 1);
        QVERIFY(home_->Messages.Shown[0].contains("Error in comparison expression"));
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(!MenuItem(w, "Memo...")->isEnabled());
        QVERIFY(!MenuItem(w, "Print...")->isEnabled());
    }
};

PELM_GUI_TEST_MAIN(TestSearch)
#include "tst_search.moc"
