// The filtered-numbers dialog: adding, editing and deleting numbers of one direction.
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "FilteredNumbersTest.h"
#include "TfmFilterNums.h"

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
