// The folder tree driven through its view: actions, enabled states, deleting folders with their
// calls, and dragging rows and folders.
#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include "DatabaseFixture.h"
#include "TCallsGrid.h"
#include "TDatasetModel.h"
#include "TFolderTreeView.h"
#include "TFileActions.h"
#include "TTreeController.h"
#include "TVolgaTable.h"
#include "Tchannel.h"
#include "TfmPelmorantDB.h"

namespace {

class TreeActionsTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        settings.cbxPostByDate = false;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        model.SetDataset(&db->tblCalls, {{"Channel", "Channel"}, {"Memo", "Memo"}});
        grid.setModel(&model);
        db->CallsModel = &model;
        controller = std::make_unique<TTreeController>(*db, &view, &grid, &model);
        controller->MarkTreeChanged = [this] { treeChanged = true; };
        // As in the program: dropped rows go through the file actions' move.
        actions = std::make_unique<TFileActions>(*db, settings, grid, searchGrid);
        actions->LoggerModel = &model;
        controller->MoveCallsToFolder = [this](const QString& id) { actions->MoveTo(id); };
        window.resize(600, 400);
        view.setParent(&window);
        view.setGeometry(0, 0, 250, 400);
        grid.setParent(&window);
        grid.setGeometry(250, 0, 350, 400);
        window.show();
        view.SelectNode(db->Tree.NodeAt(0));
    }
    void AddCallIn(const QString& folderId, const QString& file) {
        WriteRecording(file, 2048);
        TVolgaTable& t = db->tblCalls;
        t.Append();
        t.FieldByName("callID").SetAsString(file.left(8).toStdString());
        t.FieldByName("FolderId").SetAsString(folderId.toStdString());
        t.FieldByName("fileName").SetAsString(file.toStdString());
        t.FieldByName("fileSize").SetAsInteger(2);
        t.FieldByName("mediumLabel").SetAsString("Main storage medium");
        t.Post();
        t.SaveChanges();
        globals.UsedSpaceKb += 2;
    }
    void CommitEdit(const QString& text) {
        QLineEdit* editor = view.findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits and closes the editor from the event loop.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int CallsIn(const QString& folderId) {
        int n = 0;
        TVolgaTable& t = db->tblCalls;
        bool filtered = t.Filtered();
        t.SetFiltered(false);
        for (t.First(); !t.Eof() && t.RecordCount() > 0; t.Next()) {
            if (QString::fromStdString(t.FieldByName("FolderId").AsString()) == folderId) ++n;
            if (t.RecNo() == t.RecordCount()) break;
        }
        t.SetFiltered(filtered);
        return n;
    }
    void Drop(QStandardItem* target, bool fromGrid, int dx = 30) {
        QRect r = view.visualRect(target->index());
        view.HandleDrop(QPoint(r.left() + dx, r.center().y()), fromGrid);
    }

    QWidget window;
    TFolderTreeView view;
    TCallsGrid grid;
    TCallsGrid searchGrid;
    TDatasetModel model;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TTreeController> controller;
    std::unique_ptr<TFileActions> actions;
    bool treeChanged = false;
};

}  // namespace

TEST_F(TreeActionsTest, AddRenameAndTheMainFolderRules) {
    EXPECT_FALSE(controller->ActionEnabled(TTreeController::DeleteNode));
    EXPECT_FALSE(controller->ActionEnabled(TTreeController::RenameNode));
    EXPECT_FALSE(controller->ActionEnabled(TTreeController::InsertNode));
    EXPECT_FALSE(controller->ActionEnabled(TTreeController::ExpandNode));

    controller->Action(TTreeController::AddChildNode);
    CommitEdit("Customers");
    EXPECT_TRUE(treeChanged);
    ASSERT_EQ(db->Tree.Count(), 2);
    QStandardItem* customers = db->Tree.NodeAt(1);
    EXPECT_EQ(customers->text(), "Customers");
    EXPECT_EQ(TFolderTree::FolderId(customers).size(), 8);
    EXPECT_TRUE(controller->ActionEnabled(TTreeController::DeleteNode));
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);  // read-only again

    view.SelectNode(db->Tree.NodeAt(0));
    EXPECT_TRUE(controller->ActionEnabled(TTreeController::CollapseNode));
    controller->Action(TTreeController::DeleteNode);
    controller->Action(TTreeController::RenameNode);
    EXPECT_EQ(messages.shown, QStringList({"Main folder can not be deleted",
                                           "Main folder can not be renamed"}));
    // A folder named Main elsewhere is protected as well.
    view.SelectNode(customers);
    controller->Action(TTreeController::RenameNode);
    CommitEdit("Main");
    controller->Action(TTreeController::DeleteNode);
    EXPECT_EQ(messages.shown.last(), "Main folder can not be deleted");
    EXPECT_EQ(db->Tree.Count(), 2);

    // Add node with the root selected: a second root; Insert node: before the selected one.
    view.SelectNode(db->Tree.NodeAt(0));
    controller->Action(TTreeController::AddNode);
    CommitEdit("Archive");
    EXPECT_EQ(TFolderTree::Level(db->Tree.NodeAt(2)), 0);
    view.SelectNode(db->Tree.NodeAt(2));
    controller->Action(TTreeController::InsertNode);
    CommitEdit("Before archive");
    EXPECT_EQ(db->Tree.NodeAt(2)->text(), "Before archive");
    EXPECT_EQ(TFolderTree::Level(db->Tree.NodeAt(2)), 0);
}

TEST_F(TreeActionsTest, SelectingAFolderShowsOnlyItsOwnCalls) {
    QStandardItem* main = db->Tree.NodeAt(0);
    QStandardItem* sub = db->Tree.AddChild(main, "Sub", "SUB00001");
    AddCallIn(db->MainFolderId, "main0001.wav");
    AddCallIn("SUB00001", "sub00001.wav");
    AddCallIn("SUB00001", "sub00002.wav");
    view.SelectNode(sub);
    EXPECT_EQ(model.rowCount(), 2);
    view.SelectNode(main);
    EXPECT_EQ(model.rowCount(), 1);  // sub-folders' calls are not included
    EXPECT_EQ(db->tblCalls.Filter(), "FolderID='" + db->MainFolderId.toStdString() + "'");
    EXPECT_EQ(TTreeController::FolderFilter("a'b"), "FolderID='a''b'");
}

TEST_F(TreeActionsTest, DeletingAFolderDeletesItsCallsAndSubFolders) {
    QStandardItem* main = db->Tree.NodeAt(0);
    QStandardItem* a = db->Tree.AddChild(main, "A", "AAAA0001");
    db->Tree.AddChild(a, "A1", "AAAA0002");
    db->Tree.AddChild(main, "B", "BBBB0001");
    AddCallIn("AAAA0001", "aaaa0001.wav");
    AddCallIn("AAAA0002", "aaaa0002.wav");
    AddCallIn("BBBB0001", "bbbb0001.wav");
    db->DateInUse = {"2026-12-09", "XXXX"};
    view.SelectNode(a);
    messages.confirmAnswer = false;
    controller->Action(TTreeController::DeleteNode);
    EXPECT_EQ(db->Tree.Count(), 4);  // cancelled
    messages.confirmAnswer = true;
    controller->Action(TTreeController::DeleteNode);
    EXPECT_EQ(messages.asked.last(),
              "Delete node? All of your files will be deleted \nAll of child nodes and files if "
              "existing will be also deleted");
    EXPECT_EQ(db->Tree.Count(), 2);
    EXPECT_EQ(CallsIn("AAAA0001"), 0);
    EXPECT_EQ(CallsIn("AAAA0002"), 0);
    EXPECT_EQ(CallsIn("BBBB0001"), 1);
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "aaaa0001.wav"));
    EXPECT_FALSE(QFileInfo::exists(settings.edtFolder + "aaaa0002.wav"));
    EXPECT_TRUE(QFileInfo::exists(settings.edtFolder + "bbbb0001.wav"));
    EXPECT_EQ(globals.UsedSpaceKb.load(), 2);
    EXPECT_TRUE(db->DateInUse.FolderId.isEmpty());
    // Saved: a reopened table has only B's call.
    TVolgaDatabase other;
    other.SetDatabasePath(globals.AppDataDir.toStdString());
    TVolgaTable check(&other);
    check.SetTableName("Calls.d");
    check.Open();
    EXPECT_EQ(check.RecordCount(), 1);
    // Clearing the tree at the end deletes no calls.
    db->Tree.Clear();
    EXPECT_EQ(CallsIn("BBBB0001"), 1);
}

TEST_F(TreeActionsTest, DroppingRowsMovesCallsAndFoldersMoveByDrag) {
    QStandardItem* main = db->Tree.NodeAt(0);
    QStandardItem* a = db->Tree.AddChild(main, "A", "AAAA0001");
    QStandardItem* b = db->Tree.AddChild(main, "B", "BBBB0001");
    view.expandAll();
    AddCallIn("AAAA0001", "aaaa0001.wav");
    AddCallIn("AAAA0001", "aaaa0002.wav");
    AddCallIn("AAAA0001", "aaaa0003.wav");
    view.SelectNode(a);
    ASSERT_EQ(model.rowCount(), 3);
    grid.selectionModel()->select(model.index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid.selectionModel()->select(model.index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Drop(b, true);
    EXPECT_EQ(CallsIn("BBBB0001"), 2);
    EXPECT_EQ(CallsIn("AAAA0001"), 1);
    // Dropping rows on Main files them in the root folder.
    view.SelectNode(a);
    grid.setCurrentIndex(model.index(0, 0));
    Drop(main, true);
    EXPECT_EQ(CallsIn(db->MainFolderId), 1);

    // A folder dropped right of another's text becomes its first child.
    view.SelectNode(b);
    Drop(a, false, 10);
    EXPECT_EQ(b->parent(), a);
    EXPECT_EQ(a->child(0), b);
    // Dropped left of the text: before it, as its sibling.
    view.SelectNode(b);
    Drop(a, false, -8);
    EXPECT_EQ(b->parent(), main);
    EXPECT_EQ(b->row(), a->row() - 1);
    // Onto node 0 nothing happens; Main itself never moves; nor onto its own descendant.
    view.SelectNode(b);
    Drop(main, false, 10);
    EXPECT_EQ(b->parent(), main);
    view.SelectNode(main);
    EXPECT_FALSE(view.AcceptsDrop(false, a));
    view.SelectNode(a);
    db->Tree.AddChild(a, "A1", "AAAA0002");
    EXPECT_FALSE(view.AcceptsDrop(false, a->child(0)));
    EXPECT_FALSE(view.AcceptsDrop(true, nullptr));
}
