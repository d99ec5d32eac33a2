// The filtered-numbers list: its lookup at call end and its dialog.
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "DatabaseFixture.h"
#include "TFilteredNumbers.h"
#include "TVolgaDatabase.h"
#include "TfmFilterNums.h"

namespace {

class FilteredNumbersTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        db.SetDatabasePath(globals.AppDataDir.toStdString());
        list = std::make_unique<TFilteredNumbers>(&db);
        list->Open();
    }
    void AddNumber(int direction, const QString& number) {
        list->ShowDirection(direction);
        ASSERT_TRUE(list->Add(number));
    }
    TVolgaDatabase db;
    std::unique_ptr<TFilteredNumbers> list;
};

}  // namespace

TEST_F(FilteredNumbersTest, LookupIsAPrefixMatchPerDirection) {
    AddNumber(1, "555");
    AddNumber(0, "987");
    // The dialog left showing the incoming list: outgoing entries are still seen.
    list->ShowDirection(0);
    EXPECT_TRUE(list->IsFiltered("5", 1));
    EXPECT_TRUE(list->IsFiltered("55", 1));
    EXPECT_TRUE(list->IsFiltered("555", 1));
    EXPECT_FALSE(list->IsFiltered("5559", 1));
    EXPECT_FALSE(list->IsFiltered("555", 0));  // other direction
    EXPECT_TRUE(list->IsFiltered("98", 0));
    EXPECT_FALSE(list->IsFiltered("", 0));
    // Written to the file: a fresh list sees the same.
    TFilteredNumbers again(&db);
    again.Open();
    EXPECT_TRUE(again.IsFiltered("987", 0));
    EXPECT_EQ(again.tblFiltered().RecordCount(), 2);
}

TEST_F(FilteredNumbersTest, UnreadableFileIsReportedAndMatchesNothing) {
    list.reset();
    QFile f(globals.AppDataDir + "/Filtered.d");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a table");
    f.close();
    TFilteredNumbers broken(&db);
    broken.Open();
    EXPECT_EQ(messages.shown, QStringList({"Can not open Filtered.d"}));
    EXPECT_FALSE(broken.tblFiltered().Active());
    EXPECT_FALSE(broken.IsFiltered("555", 1));
    EXPECT_FALSE(broken.Add("123"));
    // The damaged file is left as it was.
    QFile check(globals.AppDataDir + "/Filtered.d");
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "not a table");
}

TEST_F(FilteredNumbersTest, DialogAddEditDeleteAndCaptions) {
    AddNumber(0, "111");
    TfmFilterNums dlg(*list);
    dlg.Prepare(1);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Outbound filtered numbers");
    EXPECT_EQ(dlg.Grid()->model()->rowCount(), 0);  // only direction 1
    EXPECT_FALSE(dlg.btnEdit()->isEnabled());
    EXPECT_FALSE(dlg.btnDelete()->isEnabled());
    QTest::keyClick(dlg.Grid(), Qt::Key_Delete);  // nothing to delete
    EXPECT_EQ(list->tblFiltered().Cursor()->RecordCount(), 1);

    messages.inputOk = false;  // Cancel
    dlg.AddClick();
    messages.inputOk = true;
    messages.inputAnswer = "";
    dlg.AddClick();
    EXPECT_EQ(dlg.Grid()->model()->rowCount(), 0);
    messages.inputAnswer = "555";
    dlg.AddClick();
    dlg.AddClick();  // the same number twice is allowed
    ASSERT_EQ(dlg.Grid()->model()->rowCount(), 2);
    EXPECT_TRUE(dlg.btnEdit()->isEnabled());
    TVolgaTable& t = list->tblFiltered();
    EXPECT_EQ(t.FieldByName("Direction").AsInteger(), 1);
    EXPECT_EQ(t.FieldByName("Channel").AsInteger(), 0);
    EXPECT_EQ(t.FieldByName("FilteredID").AsString().size(), 8u);
    EXPECT_EQ(t.FieldByName("st1").AsString(), " ");

    dlg.Grid()->setCurrentIndex(dlg.Grid()->model()->index(0, 0));
    std::string id = t.FieldByName("FilteredID").AsString();
    messages.inputAnswer = "";
    dlg.EditClick();  // empty answer: unchanged
    EXPECT_EQ(t.FieldByName("number").AsString(), "555");
    messages.inputAnswer = "5556";
    dlg.EditClick();
    EXPECT_EQ(t.FieldByName("number").AsString(), "5556");
    EXPECT_EQ(t.FieldByName("FilteredID").AsString(), id);  // the identifier stays

    QTest::keyClick(dlg.Grid(), Qt::Key_Delete);
    EXPECT_EQ(dlg.Grid()->model()->rowCount(), 1);
    dlg.DeleteClick();
    EXPECT_EQ(dlg.Grid()->model()->rowCount(), 0);
    EXPECT_FALSE(dlg.btnDelete()->isEnabled());
    dlg.Prepare(0);
    EXPECT_EQ(dlg.windowTitle(), "Inbound filtered numbers");
    EXPECT_EQ(dlg.Grid()->model()->rowCount(), 1);
    // Saved at every change.
    TFilteredNumbers again(&db);
    again.Open();
    EXPECT_EQ(again.tblFiltered().RecordCount(), 1);
}
