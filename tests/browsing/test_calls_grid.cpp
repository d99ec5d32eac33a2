// The logger grid: its columns over the Calls table, and the rows an action targets.
#include <QItemSelectionModel>

#include "DatabaseFixture.h"
#include "TCallsGrid.h"
#include "TLoggerModel.h"
#include "TfmPelmorantDB.h"

TEST_F(DatabaseFixture, LoggerGridShowsTheCallsInItsColumnsAndTargetsRowsInSelectionOrder) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    for (int i = 0; i < 4; ++i) {
        db.tblCalls.Append();
        db.tblCalls.FieldByName("callID").SetAsString("call" + std::to_string(i));
        db.tblCalls.FieldByName("Channel").SetAsInteger(i % 2);
        db.tblCalls.FieldByName("Memo").SetAsString("memo " + std::to_string(i));
        db.tblCalls.Post();
    }
    TLoggerModel model(&db.tblCalls);
    TCallsGrid grid;
    model.Attach(&grid);
    ASSERT_EQ(model.columnCount(), 9);
    QStringList titles;
    for (int c = 0; c < model.columnCount(); ++c)
        titles << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, QStringList({"Channel", "Date", "Time", "Duration", "Direction",
                                   "DTMF digits", "Caller ID", "Memo", "Medium label"}));
    EXPECT_EQ(grid.columnWidth(3), 55);
    EXPECT_EQ(grid.columnWidth(8), 100);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(2, 7), Qt::DisplayRole).toString(), "memo 2");

    // No selection: the current row; none at all: nothing.
    ICallRows& rows = grid;
    EXPECT_TRUE(rows.TargetRows().empty());
    rows.SetCurrentRow(1);
    EXPECT_EQ(rows.TargetRows(), std::vector<int>{1});
    // With the selection cleared, the current row is still the target.
    rows.ClearRowSelection();
    EXPECT_EQ(rows.TargetRows(), std::vector<int>{1});
    // Selected rows in the order they were selected, not in row order.
    grid.selectionModel()->select(model.index(3, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid.selectionModel()->select(model.index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(rows.TargetRows(), (std::vector<int>{3, 0}));
}
