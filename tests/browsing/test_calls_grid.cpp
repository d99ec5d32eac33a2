// The logger grid: its columns over the Calls table, and the rows an action targets.
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "DatabaseFixture.h"
#include "TCallsGrid.h"
#include "TGridNavigator.h"
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
    // Never narrower than the title, the widest value of the column's format, or the width
    // the grid was designed with; one line a row, long texts cut with an ellipsis.
    const QFontMetrics text(grid.font());
    EXPECT_GE(grid.columnWidth(1), text.horizontalAdvance(TDatasetModel::SampleDate()));
    EXPECT_GE(grid.columnWidth(2), text.horizontalAdvance(TDatasetModel::SampleTime()));
    EXPECT_GE(grid.columnWidth(3), std::max(55, text.horizontalAdvance("00:00:00")));
    EXPECT_GE(grid.columnWidth(8), std::max(100, text.horizontalAdvance("Main storage medium")));
    EXPECT_GE(grid.columnWidth(5), text.horizontalAdvance("DTMF digits"));
    EXPECT_FALSE(grid.wordWrap());
    EXPECT_EQ(grid.textElideMode(), Qt::ElideRight);
    EXPECT_LT(grid.verticalHeader()->defaultSectionSize(), 2 * text.height());
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

TEST_F(DatabaseFixture, TheGridsContextMenuAndKeys) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    for (int i = 0; i < 3; ++i) {
        db.tblCalls.Append();
        db.tblCalls.FieldByName("callID").SetAsString("call" + std::to_string(i));
        db.tblCalls.Post();
    }
    TLoggerModel model(&db.tblCalls);
    QWidget window;
    auto* grid = new TCallsGrid(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 300);
    model.Attach(grid);
    QAction memo("Memo...", nullptr), del("Delete File(s)...", nullptr),
        move("Move to...", nullptr), copy("Copy to folder...", nullptr),
        mail("Email wav file to...", nullptr);
    grid->SetContextActions({&memo, &del, &move, &copy}, {&mail});
    QStringList items;
    for (QAction* a : grid->ContextMenu()->actions())
        items << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Memo...", "Delete File(s)...", "Move to...", "Copy to folder...",
                                  "Select all", "Unselect All", "-", "Email wav file to..."}));

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    grid->setFocus();
    grid->selectAll();
    EXPECT_EQ(grid->TargetRows().size(), 3u);
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_TRUE(grid->selectionModel()->selectedRows().isEmpty());

    QSignalSpy deletes(grid, &TCallsGrid::deleteRequested);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(deletes.count(), 0);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(deletes.count(), 1);

    // Leaving the grid for another control clears its selection.
    grid->selectAll();
    other->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(grid->selectionModel()->selectedRows().isEmpty());
}

TEST_F(DatabaseFixture, TheNavigatorUnderAGridMovesItsRowAndDeletes) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    TLoggerModel model(&db.tblCalls);
    TCallsGrid grid;
    grid.setObjectName("gdLogger");
    TGridNavigator bar(grid);
    model.Attach(&grid);
    for (const char* name : {"First", "Prior", "Next", "Last", "Delete"}) {
        ASSERT_NE(bar.Button(name), nullptr) << name;
        EXPECT_EQ(bar.Button(name)->accessibleName(), name);
        EXPECT_FALSE(bar.Button(name)->isEnabled()) << name;  // no calls
    }
    EXPECT_EQ(bar.Button("Delete")->toolTip(), "Delete");
    for (int i = 0; i < 3; ++i) {
        db.tblCalls.Append();
        db.tblCalls.FieldByName("callID").SetAsString("call" + std::to_string(i));
        db.tblCalls.Post();
    }
    model.Refresh();
    bar.Button("Last")->click();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_FALSE(bar.Button("Next")->isEnabled());
    bar.Button("Prior")->click();
    EXPECT_EQ(grid.currentIndex().row(), 1);
    bar.Button("First")->click();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_FALSE(bar.Button("Prior")->isEnabled());
    QSignalSpy deletes(&grid, &TCallsGrid::deleteRequested);
    bar.Button("Delete")->click();
    EXPECT_EQ(deletes.count(), 1);
}

TEST_F(DatabaseFixture, ARowDragStartsAfterTwentyPixelsWithTheButtonDown) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    TLoggerModel model(&db.tblCalls);
    TCallsGrid grid;
    model.Attach(&grid);
    grid.resize(400, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    int drags = 0;
    grid.StartRowDrag = [&] { ++drags; };
    QWidget* port = grid.viewport();
    auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, port->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(port, &e);
    };
    // No rows: no drag.
    mouse(QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {20, 40}, Qt::LeftButton);
    EXPECT_EQ(drags, 0);
    mouse(QEvent::MouseButtonRelease, {20, 40}, Qt::NoButton);

    db.tblCalls.Append();
    db.tblCalls.FieldByName("callID").SetAsString("call0");
    db.tblCalls.Post();
    model.Refresh();
    mouse(QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {20, 29}, Qt::LeftButton);  // 19 pixels
    EXPECT_EQ(drags, 0);
    mouse(QEvent::MouseMove, {20, 30}, Qt::LeftButton);
    EXPECT_EQ(drags, 1);
    mouse(QEvent::MouseMove, {20, 60}, Qt::LeftButton);  // once per press
    EXPECT_EQ(drags, 1);
    mouse(QEvent::MouseButtonRelease, {20, 60}, Qt::NoButton);
    // Released: disarmed.
    mouse(QEvent::MouseMove, {20, 90}, Qt::LeftButton);
    EXPECT_EQ(drags, 1);
    // The search grid's rows are not dragged.
    grid.SetRowDragging(false);
    mouse(QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {20, 40}, Qt::LeftButton);
    EXPECT_EQ(drags, 1);
}
