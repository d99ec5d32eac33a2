// The file actions in the running program, driven through the File menu by the texts it shows:
// their enabled states for no records, an "SMDR" row and an ordinary row; a memo; a move through
// the "Move" dialog; a copy through the save dialog; a mail through xdg-email (a stand-in on
// PATH); a delete with its question, the recordings and the used space going with the rows.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "BrowsingTexts.h"
#include "CallSupport.h"
#include "GuiSupport.h"
#include "TCallsGrid.h"
#include "TFakeXdgEmail.h"
#include "TFileActions.h"
#include "TFolderTree.h"
#include "TfmMoveTo.h"

class TestFileActions : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

    // The logger grid's rows, top to bottom, by their recordings' names.
    static QStringList Files(TPelmApplication& p) {
        QStringList files;
        TVolgaTable& t = p.Database()->tblCalls;
        for (int row = 0; row < t.RecordCount(); ++row)
            files << QString::fromStdString(t.TextAt(row, t.FieldByName("fileName").FieldNo()));
        return files;
    }
    static void SelectRows(TCallsGrid* grid, const QList<int>& rows) {
        grid->setFocus();
        grid->clearSelection();
        for (int r : rows)
            grid->selectionModel()->select(grid->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() {
        dirs_ = std::make_unique<TFreshUserDirs>();
        messages_ = std::make_unique<TRecordingMessages>();
        dirs_->Seed("General", "demoInstructions", "0");
        dirs_->Seed("General", "outFilter", "0");  // every call is kept, however short
    }
    void cleanup() {
        messages_.reset();
        dirs_.reset();
    }

    void theFileMenuWorksOnTheLoggerGrid() {
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        TfmPelmUsb* w = p->MainWindow();
        TCallsGrid* grid = w->gdLogger();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(EnabledFileActions(w), QStringList());  // no records

        // Three calls with recordings, and one kept as a record only ("SMDR").
        TLiveSettings& settings = TLiveSettings::Instance();
        for (int i = 0; i < 3; ++i) {
            RecordCall(*p, 400);
            QTest::qWait(1100);  // recordings are named by the second they start
        }
        settings.cbxRecordCalls = 3;
        RecordCall(*p, 400);
        settings.cbxRecordCalls = 2;
        QStringList files = Files(*p);
        QCOMPARE(files.size(), 4);
        const int smdr = files.indexOf("SMDR");
        QVERIFY(smdr >= 0);
        QList<int> ordinary;
        for (int r = 0; r < 4; ++r)
            if (r != smdr) ordinary << r;

        grid->setCurrentIndex(grid->model()->index(smdr, 0));
        QCOMPARE(EnabledFileActions(w), kEditItems);
        grid->setCurrentIndex(grid->model()->index(ordinary[0], 0));
        QCOMPARE(EnabledFileActions(w), kEditItems + kCopyMailItems);

        // A memo for two rows; the third keeps its own.
        TVolgaTable& calls = p->Database()->tblCalls;
        const int memo = calls.FieldByName("Memo").FieldNo();
        const std::string untouched = calls.TextAt(ordinary[1], memo);
        SelectRows(grid, {ordinary[0], smdr});
        messages_->InputAnswer = "call back";
        MenuItem(w, "Memo...")->trigger();
        QCOMPARE(QString::fromStdString(calls.TextAt(ordinary[0], memo)), QString("call back"));
        QCOMPARE(QString::fromStdString(calls.TextAt(smdr, memo)), QString("call back"));
        QCOMPARE(calls.TextAt(ordinary[1], memo), untouched);

        // A copy of two recordings through the save dialog.
        QTemporaryDir out;
        grid->setCurrentIndex(grid->model()->index(ordinary[0], 0));
        SelectRows(grid, {ordinary[0], ordinary[1]});
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            dialog->selectFile(out.path() + "/Selected Files");
            static_cast<QDialog*>(dialog)->accept();  // the file dialog checks the path
        });
        MenuItem(w, "Copy to folder...")->trigger();
        QStringList copied{files[ordinary[0]], files[ordinary[1]]};
        copied.sort();
        QCOMPARE(QDir(out.path()).entryList(QDir::Files, QDir::Name), copied);

        // A mail with the SMDR row and a recording gone since: the others are attached.
        QFile::remove(settings.edtFolder + files[ordinary[1]]);
        grid->setCurrentIndex(grid->model()->index(ordinary[0], 0));
        SelectRows(grid, {ordinary[0], smdr, ordinary[1], ordinary[2]});
        {
            TFakeXdgEmail mail;
            messages_->Shown.clear();
            MenuItem(w, "Email wav file to...")->trigger();
            QCOMPARE(mail.Arguments().mid(0, 1), QStringList{"--body"});
            QCOMPARE(mail.Arguments().mid(mail.Arguments().size() - 4),
                     (QStringList{"--attach", settings.edtFolder + files[ordinary[0]], "--attach",
                                  settings.edtFolder + files[ordinary[2]]}));
            QCOMPARE(messages_->Shown, QStringList{"file " + files[ordinary[1]] + " not found"});
        }

        // A move to another folder through the "Move" dialog: the rows leave Main's list.
        QStandardItem* other =
            p->Database()->Tree.AddChild(p->Database()->Tree.NodeAt(0), "Customers", "CUSTOMER");
        SelectRows(grid, {ordinary[2]});
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TfmMoveTo*>(modal);
            QVERIFY(dialog);
            dialog->Tree()->setCurrentIndex(other->index());
            dialog->OkButton()->click();
        });
        MenuItem(w, "Move to...")->trigger();
        QCOMPARE(calls.RecordCount(), 3);
        QVERIFY(!Files(*p).contains(files[ordinary[2]]));

        // A delete: asked first, then the rows and their recordings go, and the used space.
        const int usedBefore = TPelmGlobals::Instance().UsedSpaceKb;
        files = Files(*p);
        const QString doomed = files[0] == "SMDR" ? files[1] : files[0];
        const int doomedRow = files.indexOf(doomed);
        const qint64 doomedKb = QFileInfo(settings.edtFolder + doomed).size() / 1024;
        messages_->ConfirmAnswer = false;
        SelectRows(grid, {doomedRow});
        MenuItem(w, "Delete File(s)...")->trigger();
        QCOMPARE(messages_->Asked.last(), QString(BrowsingTexts::kDeleteQuestion));
        QCOMPARE(calls.RecordCount(), 3);  // not confirmed: nothing goes
        messages_->ConfirmAnswer = true;
        SelectRows(grid, {doomedRow});
        MenuItem(w, "Delete File(s)...")->trigger();
        QCOMPARE(calls.RecordCount(), 2);
        QVERIFY(!QFileInfo::exists(settings.edtFolder + doomed));
        QVERIFY(!Files(*p).contains(doomed));
        QVERIFY(TPelmGlobals::Instance().UsedSpaceKb <= usedBefore - doomedKb);
    }
};

PELM_GUI_TEST_MAIN(TestFileActions)
#include "tst_file_actions.moc"
