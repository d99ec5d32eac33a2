// Dataset life cycle over real table files: opening, editing, filtering, locating, clones,
// saving and exporting.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaTable.h"

namespace fs = std::filesystem;

namespace {

// Counts writes and can refuse them, like a full disk.
class CountingEnv : public TVolgaEnv {
public:
    int writes = 0;
    bool failWrites = false;
    bool WriteFileAtomic(const std::string& path, std::string_view data,
                         std::string& error) override {
        if (failWrites) {
            error = "No space left on device";
            return false;
        }
        ++writes;
        return TVolgaEnv::WriteFileAtomic(path, data, error);
    }
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EVolgaError& e) {
        return e.what();
    }
    return "(no error)";
}

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("volga_ds_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        db.SetDatabasePath(dir.string());
        db.Env = &env;
    }
    void TearDown() override { fs::remove_all(dir); }

    // A calls-like table with a few records.
    std::unique_ptr<TVolgaTable> MakeCalls(int count) {
        auto t = std::make_unique<TVolgaTable>(&db);
        t->SetTableName("Calls.d");
        t->FieldDefs = {{"callID", TFieldType::ftString, 10},
                        {"Channel", TFieldType::ftInteger, 0},
                        {"FolderId", TFieldType::ftString, 20},
                        {"Memo", TFieldType::ftString, 255},
                        {"real1", TFieldType::ftFloat, 0}};
        t->CreateTable();
        for (int i = 0; i < count; ++i) {
            t->Append();
            t->FieldByName("callID").SetAsString("ID" + std::to_string(100 + i));
            t->FieldByName("Channel").SetAsInteger(i % 2);
            t->FieldByName("FolderId").SetAsString(i % 3 == 0 ? "X" : "y");
            t->FieldByName("Memo").SetAsString("memo " + std::to_string(i));
            t->Post();
        }
        if (count) t->SaveChanges();
        return t;
    }

    fs::path dir;
    CountingEnv env;
    TVolgaDatabase db;
};

}  // namespace

TEST_F(DatasetTest, CreateAppendSaveReopen) {
    auto t = MakeCalls(5);
    EXPECT_EQ(t->RecordCount(), 5);
    EXPECT_TRUE(fs::exists(dir / "Calls.d"));
    t->Close();
    t->Open();
    ASSERT_EQ(t->RecordCount(), 5);
    t->First();
    EXPECT_EQ(t->FieldByName("callid").AsString(), "ID100");
    EXPECT_EQ(t->FieldByName("Memo").AsString(), "memo 0");
    EXPECT_EQ(t->Field(4).DisplayFormat, "0.######");
    int n = 0;
    for (t->First(); !t->Eof(); t->Next()) ++n;
    EXPECT_EQ(n, 5);

    TVolgaTable missing(&db);
    missing.SetTableName("Nope.d");
    EXPECT_EQ(ErrorOf([&] { missing.Open(); }), "Error opening file " + (dir / "Nope.d").string());
    TVolgaTable noDefs(&db);
    EXPECT_EQ(ErrorOf([&] { noDefs.Open(); }), "Error creating table (no field descriptions)");
}

TEST_F(DatasetTest, CorruptFileReportsReason) {
    std::ofstream(dir / "Bad.d", std::ios::binary) << "junk";
    TVolgaTable t(&db);
    t.SetTableName("Bad.d");
    EXPECT_EQ(ErrorOf([&] { t.Open(); }), "Error opening table: Buffer structure corruption!");
    EXPECT_FALSE(t.Active());
}

TEST_F(DatasetTest, FilterByFolderIsCaseSensitiveAndAppendsStayVisible) {
    auto t = MakeCalls(9);
    t->SetFilter("FolderID='X'");
    t->SetFiltered(true);
    EXPECT_EQ(t->RecordCount(), 3);
    t->SetFilter("FolderID='x'");
    EXPECT_EQ(t->RecordCount(), 0);
    t->SetFilter("FolderID='X'");
    t->Append();
    t->FieldByName("callID").SetAsString("NEW");
    t->FieldByName("FolderId").SetAsString("other");
    t->Post();
    EXPECT_EQ(t->RecordCount(), 4);  // stays until the filter is set again
    t->SetFilter("FolderID='X'");
    EXPECT_EQ(t->RecordCount(), 3);
    EXPECT_EQ(ErrorOf([&] { t->SetFilter("Nothing='1'"); }), "Field Nothing is not found");
    t->SetFiltered(false);
    EXPECT_EQ(t->RecordCount(), 10);
}

TEST_F(DatasetTest, DeleteReachesTheFileOnlyWhenSaved) {
    auto t = MakeCalls(3);
    ASSERT_TRUE(t->Locate("callID", TVolgaValue("ID101")));
    t->Delete();
    EXPECT_EQ(t->RecordCount(), 2);
    t->Close();  // unsaved: the file still holds it
    t->Open();
    EXPECT_EQ(t->RecordCount(), 3);
    ASSERT_TRUE(t->Locate("callID", TVolgaValue("ID101")));
    t->Delete();
    t->SaveChanges();
    t->Close();
    t->Open();
    EXPECT_EQ(t->RecordCount(), 2);
    EXPECT_FALSE(t->Locate("callID", TVolgaValue("ID101")));
}

TEST_F(DatasetTest, SaveWritesOnlyAfterAChangeAndThenAlways) {
    auto t = MakeCalls(0);
    t->Close();
    t->Open();
    int before = env.writes;
    t->SaveChanges();
    EXPECT_EQ(env.writes, before);
    t->Append();
    t->FieldByName("callID").SetAsString("A");
    t->Post();
    t->SaveChanges();
    EXPECT_EQ(env.writes, before + 1);
    t->SaveChanges();  // the count is not reset by saving
    EXPECT_EQ(env.writes, before + 2);
    EXPECT_GT(t->ChangeCount(), 0);

    auto e = std::make_unique<TVolgaTable>(&db);
    e->SetTableName("Calls.d");
    e->Open();
    before = env.writes;
    e->EmptyTable();
    e->SaveChanges();  // emptying alone is no change
    EXPECT_EQ(env.writes, before);
    e->Append();
    e->FieldByName("callID").SetAsString("B");
    e->Post();
    e->SaveChanges();
    EXPECT_EQ(env.writes, before + 1);
    e->Close();
    e->Open();
    ASSERT_EQ(e->RecordCount(), 1);
    EXPECT_EQ(e->FieldByName("callID").AsString(), "B");
}

TEST_F(DatasetTest, FailedSaveKeepsFileAndChanges) {
    auto t = MakeCalls(2);
    std::string before = ReadAll(dir / "Calls.d");
    t->Append();
    t->FieldByName("callID").SetAsString("C");
    t->Post();
    env.failWrites = true;
    std::string err = ErrorOf([&] { t->SaveChanges(); });
    EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
    EXPECT_EQ(ReadAll(dir / "Calls.d"), before);
    EXPECT_GT(t->ChangeCount(), 0);
    EXPECT_EQ(t->RecordCount(), 3);
    env.failWrites = false;
    t->SaveChanges();
    t->Close();
    t->Open();
    EXPECT_EQ(t->RecordCount(), 3);
    // No temporary files are left behind.
    int files = 0;
    for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(DatasetTest, LocateAndNavigation) {
    auto t = MakeCalls(6);
    t->SetIndexFieldNames("Memo");
    t->SetSortOptions(vsoDescendSort);
    ASSERT_TRUE(t->Locate("callID", TVolgaValue("ID103")));
    EXPECT_EQ(t->FieldByName("Memo").AsString(), "memo 3");
    ASSERT_TRUE(t->Locate("channel", TVolgaValue(1)));  // other letter case
    EXPECT_EQ(t->FieldByName("Channel").AsInteger(), 1);
    EXPECT_FALSE(t->Locate("callID", TVolgaValue("id103")));
    EXPECT_TRUE(t->Locate("callID", TVolgaValue("id103"), loCaseInsensitive));
    EXPECT_TRUE(t->Locate("Memo", TVolgaValue("MEMO 5"), loCaseInsensitive | loPartialKey));
    EXPECT_EQ(t->FieldByName("callID").AsString(), "ID105");
    EXPECT_FALSE(t->Locate("callID", TVolgaValue("")));
    EXPECT_EQ(ErrorOf([&] { t->Locate("nope", TVolgaValue(1)); }), "Field 'nope' not found");
    // Binary search over the sorted index.
    t->SetSortOptions(0);
    ASSERT_TRUE(t->Locate("Memo", TVolgaValue("memo 4")));
    EXPECT_EQ(t->RecNo(), 5);

    t->SetRecNo(0);
    EXPECT_EQ(t->RecNo(), 1);
    t->SetRecNo(t->RecordCount() + 5);
    EXPECT_EQ(t->RecNo(), t->RecordCount());
    t->Next();
    EXPECT_TRUE(t->Eof());

    std::vector<TVolgaValue> r = t->Lookup("callID", {TVolgaValue("ID102")}, "Memo;Channel");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].AsText(db.FormatSettings), "memo 2");
    EXPECT_EQ(r[1].AsInt(), 0);
    EXPECT_EQ(t->RecNo(), t->RecordCount());  // Lookup does not move
    EXPECT_TRUE(t->Lookup("callID", {TVolgaValue("none")}, "Memo").empty());
}

TEST_F(DatasetTest, EditCancelAndChangeCount) {
    auto t = MakeCalls(2);
    t->Close();
    t->Open();
    int raised = 0;
    t->OnNeedToSaveChange = [&](TVolgaDataset&) { ++raised; };
    EXPECT_EQ(ErrorOf([&] { t->FieldByName("Memo").SetAsString("x"); }),
              "Table is not in edit or insert mode");
    int base = t->ChangeCount();
    t->Edit();
    EXPECT_EQ(t->ChangeCount(), base + 1);
    t->FieldByName("Memo").SetAsString("first change");
    t->Post();
    t->Edit();
    t->FieldByName("Memo").SetAsString("second change");
    t->Cancel();
    // Cancel takes back this edit only; the posted change stays.
    EXPECT_EQ(t->FieldByName("Memo").AsString(), "first change");
    EXPECT_EQ(t->ChangeCount(), base + 1);
    t->CancelChanges();
    EXPECT_EQ(t->ChangeCount(), 0);
    EXPECT_EQ(t->FieldByName("Memo").AsString(), "memo 0");
    EXPECT_EQ(raised, 1);  // the count was above 0 since the appends; back to 0 once

    t->Append();
    t->FieldByName("callID").SetAsString("gone");
    t->Post();
    t->CancelChanges();
    EXPECT_EQ(t->RecordCount(), 2);
    t->Edit();
    t->FieldByName("Memo").SetAsString("kept");
    t->Post();
    t->CommitChanges();
    EXPECT_EQ(t->ChangeCount(), 0);
    t->CancelChanges();
    EXPECT_EQ(t->FieldByName("Memo").AsString(), "kept");
}

TEST_F(DatasetTest, ReadOnlyKeysAndHooks) {
    auto t = MakeCalls(2);
    t->UniqueFieldNames = "callID";
    t->CheckKeyViolation = true;
    t->Append();
    t->FieldByName("callID").SetAsString("ID100");
    EXPECT_EQ(ErrorOf([&] { t->Post(); }), "Error saving new record: Key violation");
    t->Cancel();
    t->First();
    t->Edit();
    t->FieldByName("callID").SetAsString("ID101");
    EXPECT_EQ(ErrorOf([&] { t->Post(); }), "Error saving record: Key violation");
    t->Cancel();

    t->BeforeDelete = [](TVolgaDataset&) { throw EVolgaError("refused"); };
    EXPECT_EQ(ErrorOf([&] { t->Delete(); }), "refused");
    EXPECT_EQ(t->RecordCount(), 2);
    t->BeforeDelete = nullptr;

    t->ReadOnly = true;
    EXPECT_EQ(ErrorOf([&] { t->Edit(); }), "Read-only record cannot be changed");
    EXPECT_EQ(ErrorOf([&] { t->Append(); }), "You have read only access, you can not add records!");
    EXPECT_EQ(ErrorOf([&] { t->Delete(); }), "Read-only record cannot be deleted");
    t->ReadOnly = false;
    t->FieldByName("Memo").ReadOnly = true;
    t->Edit();
    EXPECT_EQ(ErrorOf([&] { t->FieldByName("Memo").SetAsString("x"); }),
              "Field 'Memo' is read only!");
    t->Cancel();
}

TEST_F(DatasetTest, CalculatedAndLookupFields) {
    auto folders = std::make_unique<TVolgaTable>(&db);
    folders->SetTableName("Tree.d");
    folders->FieldDefs = {{"FolderID", TFieldType::ftString, 10},
                          {"NodeText", TFieldType::ftString, 255}};
    folders->CreateTable();
    folders->Append();
    folders->FieldByName("FolderID").SetAsString("X");
    folders->FieldByName("NodeText").SetAsString("Main");
    folders->Post();

    auto calls = std::make_unique<TVolgaTable>(&db);
    calls->SetTableName("Calls.d");
    calls->FieldDefs = {{"callID", TFieldType::ftString, 10},
                        {"FolderId", TFieldType::ftString, 20},
                        {"inOut", TFieldType::ftInteger, 0}};
    calls->AddCalcField("callDir", TFieldType::ftString, 20);
    calls->AddLookupField("Folder", TFieldType::ftString, 50, "FolderId", folders.get(), "FolderID",
                          "NodeText");
    calls->OnCalcFields = [](TVolgaDataset& ds) {
        int64_t d = ds.FieldByName("inOut").AsInteger();
        if (d == 0) ds.FieldByName("callDir").SetAsString("Inbound");
        if (d == 1) ds.FieldByName("callDir").SetAsString("Outbound");
        EXPECT_EQ(ErrorOf([&] { ds.FieldByName("inOut").SetAsInteger(5); }),
                  "Cannot edit CalcFields");
    };
    calls->CreateTable();
    for (int i = 0; i < 3; ++i) {
        calls->Append();
        calls->FieldByName("callID").SetAsString("C" + std::to_string(i));
        calls->FieldByName("FolderId").SetAsString(i == 2 ? "none" : "X");
        calls->FieldByName("inOut").SetAsInteger(i);
        calls->Post();
    }
    calls->First();
    EXPECT_EQ(calls->FieldByName("callDir").AsString(), "Inbound");
    EXPECT_EQ(calls->FieldByName("Folder").AsString(), "Main");
    EXPECT_EQ(calls->TextAt(1, calls->FieldByName("callDir").FieldNo()), "Outbound");
    EXPECT_EQ(calls->TextAt(2, calls->FieldByName("callDir").FieldNo()), "");
    EXPECT_EQ(calls->TextAt(2, calls->FieldByName("Folder").FieldNo()), "");
    EXPECT_EQ(ErrorOf([&] { calls->Locate("callDir", TVolgaValue("Inbound")); }),
              "There are calc or BLOB fields in list of key fields");
}

TEST_F(DatasetTest, RefreshKeepsCurrentRecordByUniqueKey) {
    auto t = MakeCalls(4);
    t->CommitChanges();  // nothing unsaved: a refresh must not write the file first
    t->UniqueFieldNames = "callID";
    ASSERT_TRUE(t->Locate("callID", TVolgaValue("ID102")));
    // Another writer changes the file.
    {
        TVolgaTable other(&db);
        other.SetTableName("Calls.d");
        other.Open();
        other.Locate("callID", TVolgaValue("ID100"));
        other.Delete();
        other.SaveChanges();
    }
    t->Refresh();
    EXPECT_EQ(t->RecordCount(), 3);
    EXPECT_EQ(t->FieldByName("callID").AsString(), "ID102");
    {
        TVolgaTable other(&db);
        other.SetTableName("Calls.d");
        other.Open();
        other.Locate("callID", TVolgaValue("ID102"));
        other.Delete();
        other.SaveChanges();
    }
    t->Refresh();
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(t->FieldByName("callID").AsString(), "ID101");
}

TEST_F(DatasetTest, ClonesShareRecords) {
    auto t = MakeCalls(3);
    TVolgaTable clone(&db);
    clone.SetCloneDS(t.get());
    t->Close();
    EXPECT_EQ(ErrorOf([&] { clone.Open(); }), "Cloned table is not active!");
    t->Open();
    clone.Open();
    EXPECT_EQ(clone.RecordCount(), 3);
    EXPECT_EQ(ErrorOf([&] { t->Close(); }),
              "Cloned tables are not closed before source dataset is closed!");
    // A delete through the clone, saved by the clone, reaches the source's file.
    clone.Locate("callID", TVolgaValue("ID100"));
    clone.Delete();
    clone.SaveChanges();
    EXPECT_EQ(t->RecordCount(), 2);  // the source's list was rebuilt
    TVolgaTable check(&db);
    check.SetTableName("Calls.d");
    check.Open();
    EXPECT_EQ(check.RecordCount(), 2);
    // Emptying the source leaves the clone with a consistent, empty list.
    t->EmptyTable();
    EXPECT_EQ(clone.RecordCount(), 0);
    clone.First();
    EXPECT_TRUE(clone.FieldByName("callID").IsNull());
    // Destroying the source closes the clone and clears its source.
    t.reset();
    EXPECT_FALSE(clone.Active());
    EXPECT_EQ(clone.CloneDS(), nullptr);
}

TEST_F(DatasetTest, ExportToTextQuotingAndPlainFloats) {
    auto t = MakeCalls(2);
    t->First();
    t->Edit();
    t->FieldByName("Memo").SetAsString("say \"hi\"");
    t->FieldByName("real1").SetAsFloat(1.5);
    t->Post();
    t->ExportToText((dir / "out.csv").string(), ',');
    std::string csv = ReadAll(dir / "out.csv");
    EXPECT_EQ(csv,
              "\"callID\",\"Channel\",\"FolderId\",\"Memo\",\"real1\"\r\n"
              "\"ID100\",\"0\",\"X\",\"say \"\"hi\"\"\",\"1.5\"\r\n"
              "\"ID101\",\"1\",\"y\",\"memo 1\",\"0\"\r\n");
    t->ExportToText((dir / "out.txt").string(), '\t');
    EXPECT_EQ(ReadAll(dir / "out.txt").substr(0, 36), "callID\tChannel\tFolderId\tMemo\treal1\r\n");
    EXPECT_EQ(t->RecNo(), 1);
}

// Exporting a closed table's file reads its records as it writes them; the files must be the
// ones an opened table writes, and a table that cannot be read that way is opened in full.
TEST_F(DatasetTest, ExportingTheFileWritesWhatTheOpenedTableWrites) {
    TVolgaTable t(&db);
    t.SetTableName("Mixed.d");
    t.FieldDefs = {{"Id", TFieldType::ftString, 10},     {"Day", TFieldType::ftDate, 0},
                   {"At", TFieldType::ftTime, 0},        {"Text", TFieldType::ftString, 255},
                   {"Flag", TFieldType::ftBoolean, 0},   {"Size", TFieldType::ftLargeint, 0},
                   {"Ratio", TFieldType::ftFloat, 0},    {"Note", TFieldType::ftMemo, 0}};
    t.CreateTable();
    const char* texts[] = {"say \"hi\", then; go", "line\nbreak\tand tab", "Grüße, 東京", "", "x"};
    for (int i = 0; i < 5; ++i) {
        t.Append();
        t.FieldByName("Id").SetAsString("C" + std::to_string(i));
        if (i != 3) t.FieldByName("Day").SetAsDateTime(46000 + i);
        if (i != 3) t.FieldByName("At").SetAsDateTime(0.25 + i / 100.0);
        t.FieldByName("Text").SetAsString(texts[i]);
        t.FieldByName("Flag").SetAsBoolean(i % 2 == 1);
        if (i != 2) t.FieldByName("Size").SetAsInteger(int64_t{1} << (30 + i));
        t.FieldByName("Ratio").SetAsFloat(i * 0.5);
        t.FieldByName("Note").SetAsString("memo");
        t.Post();
    }
    t.SaveChanges();
    t.Close();
    // What the opened table writes, and what the file export writes.
    auto both = [&](const std::function<void(const std::string&)>& opened,
                    const std::function<void(const std::string&)>& file) {
        opened((dir / "opened").string());
        file((dir / "file").string());
        EXPECT_FALSE(t.Active());
        return std::make_pair(ReadAll(dir / "opened"), ReadAll(dir / "file"));
    };
    auto viaOpen = [&](char separator) {
        return [&t, separator](const std::string& f) {
            t.Open();
            t.ExportToText(f, separator);
            t.Close();
        };
    };
    for (char separator : {'\t', ',', ';'}) {
        auto [opened, file] =
            both(viaOpen(separator), [&](const std::string& f) { t.ExportFileToText(f, separator); });
        EXPECT_EQ(file, opened) << "separator " << separator;
        EXPECT_NE(file.find("Grüße, 東京"), std::string::npos);
    }
    auto [openedXml, fileXml] = both(
        [&](const std::string& f) {
            t.Open();
            t.ExportToXML(f, "UTF-8");
            t.Close();
        },
        [&](const std::string& f) { t.ExportFileToXML(f, "UTF-8"); });
    EXPECT_EQ(fileXml, openedXml);
    EXPECT_NE(fileXml.find("Text=\"say &quot;hi&quot;, then; go\""), std::string::npos);

    // Declared fields only, and an index order: the file export follows the open table.
    TVolgaTable some(&db);
    some.SetTableName("Mixed.d");
    some.AddDataField("Text");
    some.AddDataField("Id");
    some.SetIndexFieldNames("Text");
    some.Open();
    some.ExportToText((dir / "opened").string(), ',');
    some.Close();
    some.ExportFileToText((dir / "file").string(), ',');
    EXPECT_EQ(ReadAll(dir / "file"), ReadAll(dir / "opened"));
    EXPECT_EQ(ReadAll(dir / "file").substr(0, 20), "\"Text\",\"Id\"\r\n\"\",\"C3\"");
    EXPECT_FALSE(some.Active());
    // An open table is not exported from its file.
    some.Open();
    EXPECT_NE(ErrorOf([&] { some.ExportFileToText((dir / "x").string(), ','); }), "(no error)");
    some.Close();
}

TEST_F(DatasetTest, ExportingADamagedFileWritesNothingAndSaysWhy) {
    MakeCalls(50)->Close();
    const fs::path file = dir / "Calls.d";
    const std::string whole = ReadAll(file);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << whole.substr(0, whole.size() - 9);  // the last record cut short
    }
    TVolgaTable t(&db);
    t.SetTableName("Calls.d");
    const std::string opening = ErrorOf([&] { t.Open(); });
    EXPECT_EQ(opening.rfind("Error opening table: ", 0), 0u) << opening;
    EXPECT_EQ(ErrorOf([&] { t.ExportFileToText((dir / "out.txt").string(), '\t'); }), opening);
    EXPECT_EQ(ErrorOf([&] { t.ExportFileToXML((dir / "out.xml").string(), "UTF-8"); }), opening);
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
    EXPECT_FALSE(fs::exists(dir / "out.xml"));
    EXPECT_FALSE(t.Active());
    // With PartialOpen the records before the damage are written, and the damage is said.
    std::string said;
    t.PartialOpen = true;
    t.OnShowMessage = [&](const std::string& m) { said = m; };
    t.ExportFileToText((dir / "out.txt").string(), '\t');
    const std::string text = ReadAll(dir / "out.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50);  // the labels and 49 records
    EXPECT_NE(said, "");
    EXPECT_FALSE(t.Active());
}

TEST_F(DatasetTest, BookmarksAndInsertInOrder) {
    auto t = MakeCalls(4);
    t->SetIndexFieldNames("callID");
    t->SetSortOptions(vsoInsertInOrder);
    t->SetRecNo(3);
    TVolgaBookmark b = t->GetBookmark();
    EXPECT_TRUE(t->BookmarkValid(b));
    t->First();
    t->GotoBookmark(b);
    EXPECT_EQ(t->RecNo(), 3);
    t->Append();
    t->FieldByName("callID").SetAsString("ID101a");
    t->Post();
    EXPECT_EQ(t->RecNo(), 3);  // moved to its sorted position
    EXPECT_EQ(t->CompareBookmarks(b, b), 0);
    EXPECT_NE(t->CompareBookmarks(b, t->GetBookmark()), 0);
    t->GotoBookmark(b);
    t->Delete();
    EXPECT_FALSE(t->BookmarkValid(b));
}

TEST_F(DatasetTest, DefaultValuesAndAutoBackup) {
    // A table file whose descriptions carry defaults.
    TVolgaTable t(&db);
    t.FieldDefs = {{"Id", TFieldType::ftString, 10}, {"Day", TFieldType::ftDate, 0},
                   {"N", TFieldType::ftInteger, 0}};
    t.SetLoadMode(TVolgaLoadMode::lmClear);
    t.Open();
    TVolgaField* id = t.Cursor()->FieldByName("Id");
    id->DefaultValue = "UNICOD";
    t.Cursor()->FieldByName("Day")->DefaultValue = "TODAY";
    t.Cursor()->FieldByName("N")->DefaultValue = "7";
    TVolgaDataset::UniqueIdGenerator = [] { return std::string("AbCd1234"); };
    TDateTime today = 0;
    TVolgaFormatSettings::EncodeDate(2026, 12, 9, today);
    TVolgaDataset::Now = [today] { return today + 0.5; };
    t.Append();
    EXPECT_EQ(t.FieldByName("Id").AsString(), "AbCd1234");
    EXPECT_EQ(t.FieldByName("Day").AsDateTime(), today);
    EXPECT_EQ(t.FieldByName("N").AsInteger(), 7);
    t.Post();
    TVolgaDataset::UniqueIdGenerator = nullptr;
    TVolgaDataset::Now = nullptr;

    std::string path = (dir / "Def.d").string();
    t.SaveToFile(path);
    TVolgaTable f(&db);
    f.SetTableName("Def.d");
    f.SaveOptions = savAutoBackup;
    f.Open();
    f.Append();
    f.Post();
    f.SaveChanges();
    EXPECT_TRUE(fs::exists(dir / "Def.~d"));
    TVolgaTable backup(&db);
    backup.SetTableName("Def.~d");
    backup.Open();
    EXPECT_EQ(backup.RecordCount(), 1);
    f.Close();
    f.Open();
    EXPECT_EQ(f.RecordCount(), 2);
}

TEST_F(DatasetTest, SavingOverATableKeepsItsPermissions) {
    auto mode = [](const fs::path& p) {
        struct stat st;
        EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
        return st.st_mode & 07777;
    };
    auto t = MakeCalls(1);  // created, then saved over once
    const fs::path file = dir / "Calls.d";
    EXPECT_EQ(mode(file), 0600u);
    for (mode_t m : {0644, 0640, 0604, 0751, 0444}) {
        ASSERT_EQ(::chmod(file.c_str(), m), 0);
        t->Append();
        t->FieldByName("callID").SetAsString("M" + std::to_string(m));
        t->Post();
        t->SaveChanges();
        EXPECT_EQ(mode(file), m);
        EXPECT_NE(ReadAll(file).find("M" + std::to_string(m)), std::string::npos);
    }

    // A new file is its owner's only, whatever the table it was saved from; the environment
    // does the same for any file it replaces (exports, copies).
    const fs::path copy = dir / "Copy.d";
    t->SaveToFile(copy.string());
    EXPECT_EQ(mode(copy), 0600u);
    std::string error;
    const fs::path text = dir / "text.txt";
    ASSERT_TRUE(env.WriteFileAtomic(text.string(), "one", error)) << error;
    EXPECT_EQ(mode(text), 0600u);
    ASSERT_EQ(::chmod(text.c_str(), 0664), 0);
    ASSERT_TRUE(env.WriteFileAtomic(text.string(), "two", error)) << error;
    EXPECT_EQ(mode(text), 0664u);
    EXPECT_EQ(ReadAll(text), "two");
}

TEST_F(DatasetTest, MasterDetailLinkAndRanges) {
    auto folders = std::make_unique<TVolgaTable>(&db);
    folders->SetTableName("Tree.d");
    folders->FieldDefs = {{"FolderID", TFieldType::ftString, 10}};
    folders->CreateTable();
    for (const char* id : {"X", "y", "z"}) {
        folders->Append();
        folders->FieldByName("FolderID").SetAsString(id);
        folders->Post();
    }
    auto calls = MakeCalls(9);  // FolderId X for every third record, y otherwise
    calls->RangeFieldNames = "FolderId";
    calls->MasterFields = "FolderID";
    calls->SetMasterSource(folders.get());
    folders->First();
    EXPECT_EQ(calls->RecordCount(), 3);
    folders->Next();
    EXPECT_EQ(calls->RecordCount(), 6);
    folders->Next();
    EXPECT_EQ(calls->RecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { folders->SetMasterSource(calls.get()); }), "Circular data link");
    calls->SetMasterSource(nullptr);
    EXPECT_EQ(calls->RecordCount(), 9);

    calls->RangeFieldNames = "Channel";
    calls->SetRange({TVolgaValue(1)}, {TVolgaValue(1)});
    EXPECT_EQ(calls->RecordCount(), 4);
    calls->CancelRange();
    EXPECT_EQ(calls->RecordCount(), 9);
}

TEST_F(DatasetTest, MemoFieldsTakeTheirWholeText) {
    TVolgaTable t(&db);
    t.FieldDefs = {{"M", TFieldType::ftMemo, 0}};
    t.Open();
    t.Append();
    t.FieldByName("M").SetAsString(std::string(5000, 'm'));
    t.Post();
    EXPECT_EQ(t.FieldByName("M").AsString(), std::string(5000, 'm'));
    // An error record without its text still fails with a message.
    TVolgaCursor c;
    std::string msg;
    EXPECT_FALSE(c.LoadFromImage(std::string("\x05\0\0\0E", 5), msg));
    EXPECT_EQ(msg, "Buffer structure corruption!");
}
