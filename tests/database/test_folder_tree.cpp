// The folder tree's stored forms.
#include <QFile>

#include "DatabaseFixture.h"
#include "TFolderTree.h"
#include "TIniFile.h"
#include "TVolgaTable.h"
#include "TfmPelmorantDB.h"

namespace {

class FolderTreeTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        db.SetDatabasePath(globals.AppDataDir.toStdString());
        table = std::make_unique<TVolgaTable>(&db);
        table->SetTableName("Tree.d");
        table->FieldDefs = TfmPelmorantDB::TreeFields();
        table->CreateTable();
    }
    TVolgaDatabase db;
    std::unique_ptr<TVolgaTable> table;
};

}  // namespace

TEST_F(FolderTreeTest, StoredLayoutAndTextsSurviveAReload) {
    TFolderTree tree;
    QStandardItem* main = tree.AddChild(nullptr, "Main", "M0000001");
    QStandardItem* a = tree.AddChild(main, "#5 Sales", "A0000001");  // starts with "#"
    tree.AddChild(a, "  indented", "B0000001");                      // starts with blanks
    tree.AddChild(main, "", "C0000001");                             // edit cancelled
    tree.AddChild(nullptr, "Second root", "D0000001");
    TFolderTree::SetExpanded(a, true);
    ASSERT_TRUE(tree.ToTable(*table));
    table->First();
    EXPECT_EQ(table->FieldByName("NodePos").AsString(), "Main");
    table->Next();
    EXPECT_EQ(table->FieldByName("NodePos").AsString(), "##5 Sales");
    table->Next();
    EXPECT_EQ(table->FieldByName("NodePos").AsString(), "##  indented");
    table->Next();
    EXPECT_EQ(table->FieldByName("NodePos").AsString(), "#");

    table->Close();
    table->Open();
    TFolderTree back;
    ASSERT_TRUE(back.FromTable(*table));
    auto snap = back.Snapshot();
    ASSERT_EQ(snap.size(), 5u);
    EXPECT_EQ(snap[1].Text, "#5 Sales");
    EXPECT_EQ(snap[1].Level, 1);
    EXPECT_TRUE(snap[1].Expanded);
    EXPECT_EQ(snap[2].Text, "  indented");
    EXPECT_EQ(snap[2].Level, 2);
    EXPECT_EQ(snap[3].Text, "");
    EXPECT_EQ(snap[3].Level, 1);
    EXPECT_EQ(snap[4].Level, 0);
    EXPECT_EQ(snap[4].FolderId, "D0000001");
}

TEST_F(FolderTreeTest, LegacyLayoutsAndLevelErrors) {
    // Written by hand: no NodeText to go by, "#" and blanks give the level.
    int level = 0;
    QString text;
    TFolderTree::ParseNodePos("##2024", "", level, text);
    EXPECT_EQ(level, 2);
    EXPECT_EQ(text, "2024");
    TFolderTree::ParseNodePos("# \tx", "other", level, text);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(text, "x");

    TFolderTree tree;
    QString error;
    EXPECT_FALSE(tree.Build({{0, "Main", "M", false}, {2, "too deep", "X", false}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(tree.Count(), 0);
}

TEST_F(FolderTreeTest, TreeIniImportedOnceAndRenamed) {
    QFile ini(globals.AppDataDir + "/Tree.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Tree]\nz=Main\na=#Customers\nm=##Big ones\nb=#2026\n"
              "[Folders]\nNode0=M1\nNode1=C1\nNode2=B1\nNode3=Y1\n"
              "[Expanded]\nNode1=1\n");
    ini.close();
    auto module = std::make_unique<TfmPelmorantDB>(globals, settings);
    ASSERT_TRUE(module->OpenDatabase());
    auto snap = module->Tree.Snapshot();
    ASSERT_EQ(snap.size(), 4u);  // in the order the keys stand
    EXPECT_EQ(snap[0].Text, "Main");
    EXPECT_EQ(snap[1].Text, "Customers");
    EXPECT_TRUE(snap[1].Expanded);
    EXPECT_EQ(snap[2].Level, 2);
    EXPECT_EQ(snap[3].FolderId, "Y1");
    EXPECT_EQ(module->MainFolderId, "M1");
    EXPECT_FALSE(QFile::exists(globals.AppDataDir + "/Tree.ini"));
    EXPECT_TRUE(QFile::exists(globals.AppDataDir + "/Tree.ini.bak"));
    module.reset();
    auto again = std::make_unique<TfmPelmorantDB>(globals, settings);
    ASSERT_TRUE(again->OpenDatabase());
    EXPECT_EQ(again->Tree.Count(), 4);  // now from the table
}

TEST_F(FolderTreeTest, BadTreeIniAbortsStart) {
    QFile ini(globals.AppDataDir + "/Tree.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Tree]\na=Main\nb=###deep\n");
    ini.close();
    TfmPelmorantDB module(globals, settings);
    EXPECT_FALSE(module.OpenDatabase());
    EXPECT_TRUE(globals.StartupAbort);
    EXPECT_EQ(messages.shown, QStringList({"TreeFromIni function failed"}));
}
