// The filtered-numbers list: its lookup at call end and its file.
#include <QFile>

#include "FilteredNumbersTest.h"

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
