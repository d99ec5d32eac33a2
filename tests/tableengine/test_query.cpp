// SELECT queries over table files: the grammar and its errors, conditions, columns, joins,
// grouping, parameters, datasets as tables, and writing result changes back to the origin.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <random>
#include <sstream>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaFilter.h"
#include "TVolgaQuery.h"
#include "TVolgaTable.h"
#include "VolgaConvert.h"

namespace fs = std::filesystem;

namespace {

class SwitchableEnv : public TVolgaEnv {
public:
    bool failWrites = false;
    int writes = 0;
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

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EVolgaError& e) {
        return e.what();
    }
    return "(no error)";
}

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("volga_q_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        db.SetDatabasePath(dir.string());
        db.Env = &env;
        MakeTable("Calls.d",
                  {{"callID", TFieldType::ftString, 10},
                   {"Channel", TFieldType::ftInteger, 0},
                   {"FolderId", TFieldType::ftString, 20},
                   {"Date", TFieldType::ftDate, 0},
                   {"startTime", TFieldType::ftTime, 0},
                   {"Memo", TFieldType::ftString, 255},
                   {"fileSize", TFieldType::ftInteger, 0}},
                  {{"C1", "1", "F1", "2024-06-14", "09:00:00", "URGENT: call back", "100"},
                   {"C2", "0", "F2", "2024-06-15", "10:00:00", "nothing", "250"},
                   {"C3", "1", "F1", "2024-06-16", "11:30:00", "not urgent", "50"},
                   {"C4", "1", "F9", "2024-06-15", "08:15:00", "O'Brien", "0"},
                   {"C5", "0", "", "2024-06-17", "10:00:00", "%x%", "75"},
                   {"ABCDEFGHIJ", "2", "F2", "2024-06-18", "12:00:00", "", "10"}});
        MakeTable("Folders.d",
                  {{"FolderId", TFieldType::ftString, 20}, {"Name", TFieldType::ftString, 30}},
                  {{"F1", "Alpha"}, {"F2", "Beta"}, {"F3", "Gamma"}});
    }
    void TearDown() override { fs::remove_all(dir); }

    void MakeTable(const std::string& file, const std::vector<TVolgaFieldDef>& defs,
                   const std::vector<std::vector<std::string>>& rows) {
        TVolgaTable t(&db);
        t.SetTableName(file);
        t.FieldDefs = defs;
        t.CreateTable();
        for (const auto& row : rows) {
            t.Append();
            for (size_t i = 0; i < row.size(); ++i) t.Field(static_cast<int>(i)).SetAsString(row[i]);
            t.Post();
        }
        t.SaveChanges();
    }

    // Every visible row as "v1|v2|...".
    static std::vector<std::string> Rows(TVolgaDataset& ds) {
        std::vector<std::string> out;
        for (int r = 0; r < ds.RecordCount(); ++r) {
            std::string line;
            for (int i = 0; i < ds.FieldCount(); ++i) {
                if (i) line += '|';
                line += ds.TextAt(r, i);
            }
            out.push_back(line);
        }
        return out;
    }
    static std::vector<std::string> Names(TVolgaDataset& ds) {
        std::vector<std::string> out;
        for (int i = 0; i < ds.FieldCount(); ++i) out.push_back(ds.Field(i).FieldName);
        return out;
    }
    std::vector<std::string> Run(const std::string& sql) {
        q.Close();
        q.SetSQL(sql);
        q.Open();
        return Rows(q);
    }
    // callIDs of the rows of "SELECT callID FROM calls WHERE <where>".
    std::vector<std::string> Ids(const std::string& where) {
        return Run("SELECT callID FROM calls WHERE " + where);
    }
    std::vector<std::string> FileRows(const std::string& file) {
        TVolgaTable t(&db);
        t.SetTableName(file);
        t.SetLoadMode(TVolgaLoadMode::lmFile);
        t.Open();
        return Rows(t);
    }

    fs::path dir;
    SwitchableEnv env;
    TVolgaDatabase db;
    TVolgaQuery q{&db};
};

using V = std::vector<std::string>;

TEST_F(QueryTest, GrammarAndNameErrors) {
    const std::string missing = (dir / "nosuch").string();
    const std::pair<const char*, std::string> cases[] = {
        {"   ", "SQL statement is empty"},
        {"SELECT * FROM", "Fewer than 4 tokens in Select statement"},
        {"UPDATE calls SET memo", "SELECT reserved word is not found"},
        {"SELECT FROM calls c", "SELECT or FROM part of select statement is not found"},
        {"SELECT callID , memo", "SELECT or FROM part of select statement is not found"},
        {"SELECT callID, memo FROM", "SELECT or FROM part of select statement is not found"},
        {"SELECT WHERE FROM calls", "Invalid token WHERE in column part of SELECT statement"},
        {"SELECT callID AS FROM calls", "Invalid token FROM in column part of SELECT statement"},
        {"SELECT callID + 1 FROM calls", "After callID , invalid token + is found"},
        {"SELECT callID AS id memo FROM calls", "After id , invalid token memo is found"},
        {"SELECT * FROM calls, WHERE channel = 1", "Invalid token WHERE in FROM part of SELECT statement"},
        {"SELECT * FROM calls = 1", "Invalid token = in FROM part of SELECT statement"},
        {"SELECT * FROM calls c JOIN folders f", "Invalid token JOIN in FROM part of SELECT statement"},
        {"SELECT * FROM calls, calls", "Invalid token calls in FROM part of SELECT statement"},
        {"SELECT * FROM calls WHERE channel = 1 OR channel = 0", "Error in comparison expression"},
        {"SELECT * FROM calls WHERE NOT channel = 1", "Error in comparison expression"},
        {"SELECT channel FROM calls GROUP channel", "Invalid GROUP BY clause in SELECT statement"},
        {"SELECT channel FROM calls GROUP BY", "Invalid GROUP BY clause in SELECT statement"},
        {"SELECT channel FROM calls GROUP BY channel memo", "Invalid GROUP BY clause in SELECT statement"},
        {"SELECT channel FROM calls GROUP BY memo", "Invalid field memo in GROUP BY clause"},
        {"SELECT channel, COUNT(memo) FROM calls GROUP BY Count_memo",
         "Invalid field Count_memo in GROUP BY clause"},
        {"SELECT channel, memo FROM calls GROUP BY channel",
         "Field calls.memo is not in GROUP BY clause or in aggregate function"},
        {"SELECT memo, MAX(channel) FROM calls",
         "Field calls.memo is not in GROUP BY clause or in aggregate function"},
        {"SELECT x.callID FROM calls", "Field x.callID is not belong to any table in FROM part"},
        {"SELECT * FROM calls WHERE x.memo = 1", "Field x.memo is not belong to any table in FROM part"},
        {"SELECT * FROM calls WHERE memo = x.memo", "Field x.memo is not belong to any table in FROM part"},
        {"SELECT nosuch FROM calls", "Field nosuch is not found in table calls"},
        {"SELECT SUM(nosuch) FROM calls", "Field nosuch is not found in table calls"},
        {"SELECT SUM(memo) FROM calls", "Field Memo cannot be used in aggregate function SUM"},
        {"SELECT * FROM calls WHERE nosuch = 1", "Field nosuch is not found in table calls"},
        {"SELECT * FROM calls WHERE channel = nosuch", "Field nosuch is not found in table calls"},
        {"SELECT * FROM calls WHERE channel = calls.'nosuch'", "Field nosuch is not found in table calls"},
        {"SELECT * FROM calls WHERE channel = memo", "Types of compared fields are not equal"},
        {"SELECT * FROM calls c, folders f WHERE c.FolderId = f.nosuch",
         "Field nosuch is not found in table folders"},
        {"SELECT * FROM calls c, folders f WHERE c.FolderId > f.FolderId", "Unsupported join type"},
        {"SELECT * FROM calls c, folders f WHERE c.FolderId LIKE f.FolderId", "Unsupported join type"},
        {"SELECT * FROM calls c, folders f WHERE f.FolderId *= c.FolderId", "Unsupported join type"},
        {"SELECT * FROM calls c, folders f WHERE c.channel = f.FolderId",
         "Types of compared fields are not equal"},
        {"SELECT * FROM calls c, folders f", "Number of joins must be equal to number of tables minus one"},
        {"SELECT * FROM calls c, folders f, folders g WHERE c.FolderId = f.FolderId",
         "Number of joins must be equal to number of tables minus one"},
        {"SELECT * FROM nosuch", "Error opening file " + missing},
        {"SELECT * FROM calls WHERE memo = 'abc", "Unmatched quote"},
        {"SELECT (callID FROM calls", "Unmatched parentheses"},
        {"SELECT COUNT(*) FROM calls", "Symbol * is not supported in aggregate function argument"},
        {"SELECT * FROM calls WHERE memo LIKE '%a%b%c%d%e%f%g%h%i%j%k%l%m%n%o%p%q%r%s%t%u%v%w%x%y%z%1%2%3%4%5%'",
         "'%a%b%c%d%e%f%g%h%i%j%k%l%m%n%o%p%q%r%s%t%u%v%w%x%y%z%1%2%3%4%5%' is an invalid mask at (62)"},
    };
    for (const auto& [sql, expected] : cases) {
        q.SetSQL(sql);
        EXPECT_EQ(ErrorOf([&] { q.Open(); }), expected) << sql;
        EXPECT_FALSE(q.Active()) << sql;
        EXPECT_FALSE(q.Prepared()) << sql;
    }
    // Errors name the query; it opens once the statement is right.
    q.Name = "queSearch";
    q.SetSQL("SELECT nosuch FROM calls");
    EXPECT_EQ(ErrorOf([&] { q.Open(); }), "queSearch: Field nosuch is not found in table calls");
    q.SetSQL("SELECT callID FROM calls");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 6);
}

TEST_F(QueryTest, TableFilesAreFoundByNameIgnoringCaseAndExtension) {
    EXPECT_EQ(Run("SELECT name FROM folders").size(), 3u);
    EXPECT_EQ(Run("SELECT name FROM FOLDERS").size(), 3u);
    EXPECT_EQ(Run("SELECT name FROM 'folders.D'").size(), 3u);
    // Only the file-name part of a name counts: no reading outside the database folder.
    EXPECT_EQ(Run("SELECT name FROM '/no/such/dir/Folders.d'").size(), 3u);
    // A damaged table file.
    std::ofstream(dir / "Bad.d", std::ios::binary) << "garbage";
    q.SetSQL("SELECT * FROM bad");
    EXPECT_EQ(ErrorOf([&] { q.Open(); }), "Error opening table: Buffer structure corruption!");
}

// Tables with conditions are filtered while their file is read; the result must be what the
// cursor itself reads, also for files with a notes block, a protected file, and damaged files.
TEST_F(QueryTest, FilteredReadingAgreesWithTheCursor) {
    // A SmallStr of 41 characters takes 42 bytes: a value that long gives its record the header
    // byte 42, the notes marker "*". Here the second record has it, the first does not.
    const std::string section = std::string("XXX.s `\x12XXX.n i\x12", 16) + "\x14";
    std::string image;
    auto put = [&image](uint32_t v) { image.append(reinterpret_cast<const char*>(&v), 4); };
    put(0);
    image += 'S';
    put(0);
    put(2);
    put(static_cast<uint32_t>(section.size()));
    image += section;
    TVolgaCursor c;
    std::string message;
    ASSERT_TRUE(c.LoadFromImage(image, message)) << message;
    const TVolgaField& sf = *c.FieldByName("s");
    const TVolgaField& nf = *c.FieldByName("n");
    for (int i = 1; i <= 3; ++i) {
        TVolgaRecordData d = c.NewBuffer();
        std::memset(d.Bytes.data() + sf.Offset, 'a' + i, i == 2 ? 42 : 5);
        nf.SetInt(d, i);
        ASSERT_TRUE(c.PostRecord(d, nullptr, message));
    }
    auto write = [&](const std::string& file) {
        std::string out, error;
        c.BuildImage(out);
        EXPECT_TRUE(TVolgaEnv::Default()->WriteFileAtomic((dir / file).string(), out, error));
        return out;
    };
    write("Star.d");
    EXPECT_EQ(Run("SELECT n, s FROM star WHERE n >= 2"), (V{"2|" + std::string(42, 'c'), "3|ddddd"}));
    c.Notes = "notes of the table";
    write("Star.d");
    EXPECT_EQ(Run("SELECT n FROM star WHERE n <> 2"), (V{"1", "3"}));
    EXPECT_EQ(Run("SELECT n FROM star WHERE n = 2"), (V{"2"}));

    // Damaged files give the cursor's own reasons.
    c.Notes.clear();
    std::string good = write("Damaged.d");
    std::string cut = good.substr(0, good.size() - 3);
    std::ofstream(dir / "Damaged.d", std::ios::binary) << cut;
    q.SetSQL("SELECT n FROM damaged WHERE n = 1");
    EXPECT_EQ(ErrorOf([&] { q.Open(); }), "Error opening table: Unexpected end of buffer");
    std::string fewer = good;
    uint32_t four = 4;
    std::memcpy(fewer.data() + 5, &four, 4);
    std::ofstream(dir / "Damaged.d", std::ios::binary | std::ios::trunc) << fewer;
    EXPECT_EQ(ErrorOf([&] { q.Close(); q.Unprepare(); q.Open(); }),
              "Error opening table: Number of records read (3) does not match declared record "
              "count (4)");

    // A protected table, with the password given to the query.
    TVolgaTable t(&db);
    t.SetTableName("Star.d");
    t.Open();
    t.SetPassword("secret");
    t.SaveChanges();
    t.Close();
    q.Password = "secret";
    EXPECT_EQ(Run("SELECT n FROM star WHERE n > 1"), (V{"2", "3"}));
}

// Damaged table files (random bytes changed): a filtered query reads exactly what the cursor
// reads, filtered, and fails where the cursor fails.
TEST_F(QueryTest, DamagedFilesReadAsTheCursorReadsThem) {
    TVolgaCursor c;
    std::string message;
    ASSERT_TRUE(c.LoadFromImage(TVolgaCursor::BuildEmptyImage({{"id", TFieldType::ftString, 6},
                                                              {"n", TFieldType::ftInteger, 0},
                                                              {"memo", TFieldType::ftString, 40},
                                                              {"d", TFieldType::ftDate, 0}}),
                                message));
    for (int i = 0; i < 20; ++i) {
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("id")->SetText(d, "r" + std::to_string(i));
        c.FieldByName("n")->SetInt(d, i % 7);
        c.FieldByName("memo")->SetText(d, i % 3 ? "text " + std::to_string(i) : "");
        c.FieldByName("d")->SetInt(d, i % 4 ? 739000 + i : 0);
        ASSERT_TRUE(c.PostRecord(d, nullptr, message));
    }
    std::string good;
    c.BuildImage(good);
    std::mt19937 rng(7);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string image = good;
        for (int k = 1 + static_cast<int>(rng() % 3); k > 0; --k)
            image[rng() % image.size()] = static_cast<char>(rng() % 256);
        if (rng() % 8 == 0) image.resize(rng() % image.size());
        std::ofstream(dir / "Fz.d", std::ios::binary | std::ios::trunc) << image;
        TVolgaCursor plain;
        const bool ok = plain.LoadFromImage(image, message);
        TVolgaQuery query(&db);
        query.SetSQL("SELECT id FROM fz WHERE n >= 3 AND memo LIKE '%1%'");
        std::string error = ErrorOf([&] { query.Open(); });
        if (!ok) {
            EXPECT_NE(error, "(no error)") << "round " << round << ": the cursor says " << message;
            ++refused;
            continue;
        }
        ++loaded;
        // The query's table: the cursor's records that pass the same conditions as a filter.
        const TVolgaFormatSettings& fmt = db.FormatSettings;
        TVolgaFilter filter;
        filter.SetText("n >= 3 AND memo LIKE '%1%'", fmt);
        const TVolgaField* id = plain.FieldByName("id");
        bool usable = id != nullptr;
        try {
            filter.Prepare(plain, fmt);
        } catch (const EVolgaError&) {
            usable = false;  // a damaged description lost a field the query names
        }
        if (!usable) {
            EXPECT_NE(error, "(no error)") << "round " << round;
            continue;
        }
        ASSERT_EQ(error, "(no error)") << "round " << round;
        V expected;
        for (const auto& r : plain.Records())
            if (filter.Evaluate(r->Data, false, fmt)) expected.push_back(VolgaValueToText(*id, r->Data, fmt));
        EXPECT_EQ(Rows(query), expected) << "round " << round;
    }
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

TEST_F(QueryTest, WhereConditions) {
    // Nothing after WHERE: every record, in file order.
    EXPECT_EQ(Run("SELECT * FROM calls WHERE ").size(), 6u);
    EXPECT_EQ(Ids(""), (V{"C1", "C2", "C3", "C4", "C5", "ABCDEFGHIJ"}));
    EXPECT_EQ(Ids("calls.channel = 1 AND calls.memo LIKE '%urgent%'"), (V{"C1", "C3"}));
    EXPECT_EQ(Ids("calls.memo NOT LIKE '%urgent%' AND channel <> 2"), (V{"C2", "C4", "C5"}));
    EXPECT_EQ(Ids("calls.date <= '2024-06-15'"), (V{"C1", "C2", "C4"}));
    EXPECT_EQ(Ids("calls.StartTime >= '10:00:00' AND date < '2024-06-18'"), (V{"C2", "C3", "C5"}));
    // "<>" against a text with "%" compares with the text itself.
    EXPECT_EQ(Ids("calls.memo <> '%x%'"), (V{"C1", "C2", "C3", "C4", "ABCDEFGHIJ"}));
    EXPECT_EQ(Ids("memo = \"%x%\""), (V{"C5"}));
    // A doubled quote stands for one quote character.
    EXPECT_EQ(Ids("memo = 'O''Brien'"), (V{"C4"}));
    EXPECT_EQ(Ids("memo LIKE '%''%'"), (V{"C4"}));
    // Numbers, negative numbers, field against field of the same table.
    EXPECT_EQ(Ids("fileSize > 60 AND fileSize <= 250"), (V{"C1", "C2", "C5"}));
    EXPECT_EQ(Ids("fileSize > -1 AND channel >= 2"), (V{"ABCDEFGHIJ"}));
    EXPECT_EQ(Ids("fileSize < channel"), (V{"C4"}));
    // A quoted right side is a literal unless an alias and a dot precede it.
    EXPECT_EQ(Ids("FolderId = 'FolderId'"), V{});
    EXPECT_EQ(Ids("calls.callID = calls.'callID' AND channel = 2"), (V{"ABCDEFGHIJ"}));
    // Empty texts, and a literal longer than the field never equals it.
    EXPECT_EQ(Ids("FolderId = ''"), (V{"C5"}));
    EXPECT_EQ(Ids("callID = 'ABCDEFGHIJK'"), V{});
    EXPECT_EQ(Ids("callID < 'ABCDEFGHIJK' AND channel = 2"), (V{"ABCDEFGHIJ"}));
    // A comparison cut short by the end of the text is dropped.
    EXPECT_EQ(Ids("channel = 0 AND memo ="), (V{"C2", "C5"}));
    // LIKE with a field on the right has no pattern and matches nothing.
    EXPECT_EQ(Ids("memo LIKE FolderId"), V{});
}

TEST_F(QueryTest, ColumnsNamesAndConstants) {
    q.SetSQL("SELECT c.callID AS id, c.'Memo', 'hello' AS greeting, 42, channel FROM calls c "
             "WHERE channel = 0");
    q.Open();
    EXPECT_EQ(Names(q), (V{"id", "Memo", "greeting", "42", "channel"}));
    // Constant columns carry their constant.
    EXPECT_EQ(Rows(q), (V{"C2|nothing|hello|42|0", "C5|%x%|hello|42|0"}));
    EXPECT_EQ(q.FieldByName("greeting").DataType, TFieldType::ftString);
    EXPECT_EQ(q.FieldByName("42").DataType, TFieldType::ftFloat);
    EXPECT_EQ(q.FieldByName("id").Size, 10);

    // Clashing names get "_1" appended, again while they clash.
    Run("SELECT callID, callID, CALLID, memo AS callID_1 FROM calls");
    EXPECT_EQ(Names(q), (V{"callID", "callID_1", "CALLID_1_1", "callID_1_1_1"}));

    // "*" is every field of its table, in file order.
    Run("SELECT f.*, c.callID FROM calls c, folders f WHERE c.FolderId = f.FolderId");
    EXPECT_EQ(Names(q), (V{"FolderId", "Name", "callID"}));
}

TEST_F(QueryTest, InnerAndLeftOuterJoins) {
    // Inner: calls without a known folder are dropped; a folder shared by calls repeats.
    EXPECT_EQ(Run("SELECT c.callID, f.name FROM calls c, folders f WHERE c.FolderId = f.FolderId"),
              (V{"C1|Alpha", "C3|Alpha", "C2|Beta", "ABCDEFGHIJ|Beta"}));
    // The link may name the tables either way round, and row conditions apply to both sides.
    EXPECT_EQ(Run("SELECT c.callID, f.name FROM calls c, folders f "
                  "WHERE f.FolderId = c.FolderId AND f.name LIKE 'b%' AND c.channel = 0"),
              (V{"C2|Beta"}));
    // Left outer: every call stays, with an empty folder where none matches.
    EXPECT_EQ(Run("SELECT c.callID, f.name FROM calls c, folders f WHERE c.FolderId *= f.FolderId"),
              (V{"C5|", "C1|Alpha", "C3|Alpha", "C2|Beta", "ABCDEFGHIJ|Beta", "C4|"}));
    // Three tables: folders joined twice (through two links from calls).
    MakeTable("Owners.d", {{"Folder", TFieldType::ftString, 20}, {"Owner", TFieldType::ftString, 20}},
              {{"F1", "ann"}, {"F1", "bob"}, {"F2", "cy"}});
    EXPECT_EQ(Run("SELECT c.callID, f.name, o.owner FROM calls c, folders f, owners o "
                  "WHERE c.FolderId = f.FolderId AND o.Folder = c.FolderId AND c.channel = 1"),
              (V{"C1|Alpha|ann", "C1|Alpha|bob", "C3|Alpha|ann", "C3|Alpha|bob"}));
    // Join keys of two links between the same tables make one link over both fields.
    EXPECT_EQ(Run("SELECT f.name FROM folders f, owners o WHERE f.FolderId = o.Folder AND "
                  "o.Owner = f.Name"),
              V{});
}

// A join whose matches would make millions of rows is refused instead of exhausting memory.
TEST_F(QueryTest, JoinsThatWouldExplodeAreRefused) {
    for (const char* file : {"A.d", "B.d"}) {
        TVolgaCursor c;
        std::string message, image, error;
        ASSERT_TRUE(c.LoadFromImage(TVolgaCursor::BuildEmptyImage({{"k", TFieldType::ftInteger, 0}}),
                                    message));
        for (int i = 0; i < 1500; ++i) ASSERT_TRUE(c.PostRecord(c.NewBuffer(), nullptr, message));
        c.BuildImage(image);
        ASSERT_TRUE(TVolgaEnv::Default()->WriteFileAtomic((dir / file).string(), image, error));
    }
    q.SetSQL("SELECT a.k FROM a, b WHERE a.k = b.k");
    EXPECT_EQ(ErrorOf([&] { q.Open(); }), "Query result is too large");
    EXPECT_EQ(Run("SELECT COUNT(a.k) FROM a, b WHERE a.k = b.k AND b.k = 1"), V{});
}

TEST_F(QueryTest, GroupingDistinctAndAggregates) {
    EXPECT_EQ(Run("SELECT channel FROM calls GROUP BY channel"), (V{"0", "1", "2"}));
    EXPECT_EQ(Run("SELECT channel, COUNT(memo) FROM calls GROUP BY channel"),
              (V{"0|2", "1|3", "2|1"}));
    EXPECT_EQ(Names(q), (V{"channel", "Count_memo"}));
    EXPECT_EQ(Run("SELECT DISTINCT FolderId FROM calls"), (V{"", "F1", "F2", "F9"}));
    EXPECT_EQ(Run("SELECT channel, SUM(fileSize) AS total, MIN(fileSize), MAX(memo), "
                  "AVG(fileSize) FROM calls WHERE channel < 2 GROUP BY calls.channel"),
              (V{"0|325|75|nothing|162.5", "1|150|0|not urgent|50"}));
    EXPECT_EQ(Names(q), (V{"channel", "total", "Min_fileSize", "Max_memo", "Avg_fileSize"}));
    EXPECT_EQ(q.FieldByName("Avg_fileSize").DataType, TFieldType::ftFloat);
    // Aggregates without GROUP BY fold everything into one row; with no rows there is none.
    EXPECT_EQ(Run("SELECT COUNT(callID), MAX(date) FROM calls"), (V{"6|2024-06-18"}));
    EXPECT_EQ(Run("SELECT COUNT(callID) FROM calls WHERE channel = 7"), V{});
    // Grouping over a join.
    EXPECT_EQ(Run("SELECT f.name, COUNT(c.callID) FROM calls c, folders f "
                  "WHERE c.FolderId = f.FolderId GROUP BY f.name"),
              (V{"Alpha|2", "Beta|2"}));
}

TEST_F(QueryTest, Parameters) {
    db.DateFormat = "yyyy-mm-dd";  // the host keeps it equal to its short date format
    q.SetSQL("SELECT callID FROM calls WHERE memo = :m AND channel = :ch AND date >= :d "
             "AND memo <> ':notaparam'");
    ASSERT_EQ(q.Params().size(), 3u);
    q.ParamByName("m").SetAsString("O'Brien \"the\" one");
    q.ParamByName("CH").SetAsInteger(1);
    TDateTime d;
    TVolgaFormatSettings::EncodeDate(2024, 6, 15, d);
    q.ParamByName("d").SetAsDate(d);
    q.Open();
    EXPECT_EQ(q.PreparedText(),
              "SELECT callID FROM calls WHERE memo = \"O'Brien \"\"the\"\" one\" AND channel = 1 "
              "AND date >= \"2024-06-15\" AND memo <> ':notaparam'");
    EXPECT_EQ(Rows(q), V{});
    q.Close();
    q.ParamByName("m").SetAsString("O'Brien");
    q.Open();
    EXPECT_EQ(Rows(q), (V{"C4"}));
    // Changing the text closes the query and keeps the values of the parameters that stay.
    q.SetSQL("SELECT callID FROM calls WHERE channel = :ch AND fileSize > :size");
    EXPECT_FALSE(q.Active());
    ASSERT_EQ(q.Params().size(), 2u);
    EXPECT_EQ(q.ParamByName("ch").Value.AsInt(), 1);
    // A parameter without a value is Null (the text NULL for a number: 0).
    q.Open();
    EXPECT_EQ(q.PreparedText(), "SELECT callID FROM calls WHERE channel = 1 AND fileSize > Null");
    EXPECT_EQ(Rows(q), (V{"C1", "C3"}));
    EXPECT_EQ(ErrorOf([&] { q.ParamByName("zz"); }), "Parameter 'zz' not found");
}

TEST_F(QueryTest, DatasetsNamedByTheQuery) {
    // An open table with an unsaved change stands in for a file.
    TVolgaTable folders(&db);
    folders.SetTableName("Folders.d");
    folders.Open();
    folders.Append();
    folders.FieldByName("FolderId").SetAsString("F9");
    folders.FieldByName("Name").SetAsString("Nine");
    folders.Post();
    q.QueryDatasets.push_back({"fo", &folders});
    EXPECT_EQ(Run("SELECT c.callID, fo.name FROM calls c, fo WHERE c.FolderId = fo.FolderId "
                  "AND fo.name <> 'Beta'"),
              (V{"C1|Alpha", "C3|Alpha", "C4|Nine"}));
    EXPECT_EQ(Run("SELECT name FROM FO WHERE name LIKE '%a'"), (V{"Alpha", "Beta", "Gamma"}));
}

TEST_F(QueryTest, WriteBackReachesTheOriginFile) {
    q.SetSQL("SELECT * FROM calls WHERE channel = 1");
    q.Origin = "Calls";
    q.UniqueFieldNames = "callID";
    q.Open();
    ASSERT_TRUE(q.Updatable());
    ASSERT_EQ(q.RecordCount(), 3);
    ASSERT_TRUE(q.Locate("callID", TVolgaValue("C3")));
    q.Edit();
    q.FieldByName("memo").SetAsString("edited");
    q.Post();
    ASSERT_TRUE(q.Locate("callID", TVolgaValue("C4")));
    q.Delete();
    q.Append();
    q.FieldByName("callID").SetAsString("N1");
    q.FieldByName("channel").SetAsInteger(1);
    q.FieldByName("memo").SetAsString("new");
    q.Post();
    q.SaveChanges();
    EXPECT_EQ(q.ChangeCount(), 0);
    V after = FileRows("Calls.d");
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(after[2], "C3|1|F1|2024-06-16|11:30:00|edited|50");
    EXPECT_EQ(after[4], "ABCDEFGHIJ|2|F2|2024-06-18|12:00:00||10");
    EXPECT_EQ(after[5], "N1|1||||new|0");
    // A second save writes nothing again, and inserts are not repeated.
    int writes = env.writes;
    q.SaveChanges();
    EXPECT_EQ(env.writes, writes);
    // Changing the key: the origin record is found by the key from before the change.
    ASSERT_TRUE(q.Locate("callID", TVolgaValue("N1")));
    q.Edit();
    q.FieldByName("callID").SetAsString("N2");
    q.Post();
    q.SaveChanges();
    after = FileRows("Calls.d");
    EXPECT_EQ(after.size(), 6u);
    EXPECT_EQ(after[5], "N2|1||||new|0");
}

TEST_F(QueryTest, FailedWriteBackKeepsTheChangesForARetry) {
    q.SetSQL("SELECT callID, memo FROM calls");
    q.Origin = "calls";
    q.UniqueFieldNames = "callID";
    q.Open();
    q.Append();
    q.FieldByName("callID").SetAsString("N1");
    q.Post();
    env.failWrites = true;
    EXPECT_NE(ErrorOf([&] { q.SaveChanges(); }).find("No space left on device"), std::string::npos);
    EXPECT_GT(q.ChangeCount(), 0);
    env.failWrites = false;
    q.SaveChanges();
    EXPECT_EQ(FileRows("Calls.d").size(), 7u);
}

TEST_F(QueryTest, QueriesThatCannotWriteBack) {
    // No origin, an unknown origin, DISTINCT and grouping: nothing is written.
    const char* statements[] = {"SELECT * FROM calls", "SELECT DISTINCT callID FROM calls",
                                "SELECT callID FROM calls GROUP BY callID"};
    for (const char* sql : statements) {
        TVolgaQuery query(&db);
        query.SetSQL(sql);
        query.UniqueFieldNames = "callID";
        query.Origin = std::string(sql) == "SELECT * FROM calls" ? "" : "calls";
        query.Open();
        EXPECT_FALSE(query.Updatable()) << sql;
        query.Edit();
        query.FieldByName("callID").SetAsString("ZZ");
        query.Post();
        int writes = env.writes;
        query.SaveChanges();
        EXPECT_EQ(env.writes, writes) << sql;
    }
    // An origin result without the key field refuses to save an edit.
    q.SetSQL("SELECT memo FROM calls");
    q.Origin = "calls";
    q.UniqueFieldNames = "callID";
    q.Open();
    q.Edit();
    q.FieldByName("memo").SetAsString("x");
    q.Post();
    EXPECT_EQ(ErrorOf([&] { q.SaveChanges(); }), "Error saving record: Field 'callID' not found");
}

TEST_F(QueryTest, RefreshRereadsTheFilesAndKeepsTheRecord) {
    q.SetSQL("SELECT callID, memo FROM calls WHERE channel = 1");
    q.UniqueFieldNames = "callID";
    q.Open();
    ASSERT_TRUE(q.Locate("callID", TVolgaValue("C3")));
    {
        TVolgaTable t(&db);
        t.SetTableName("Calls.d");
        t.Open();
        t.First();
        t.Edit();
        t.FieldByName("memo").SetAsString("changed on disk");
        t.Post();
        t.SaveChanges();
    }
    q.Refresh();
    EXPECT_EQ(q.FieldByName("callID").AsString(), "C3");
    EXPECT_EQ(Rows(q)[0], "C1|changed on disk");
}

// Statements mutated from valid ones (words dropped, added or replaced) never crash: they open
// or raise the engine's error.
TEST_F(QueryTest, MutatedStatementsFailCleanly) {
    const std::vector<std::string> valid = {
        "SELECT c . callID , f . name FROM calls c , folders f WHERE c . FolderId *= f . FolderId",
        "SELECT channel , COUNT( memo ) AS n , AVG( fileSize ) FROM calls GROUP BY channel",
        "SELECT DISTINCT FolderId FROM calls WHERE memo NOT LIKE '%a%' AND date <= '2024-06-15'",
        "SELECT * FROM calls WHERE channel = -1 AND memo = 'x''y' AND startTime > '10:00:00'",
        "SELECT f . * , 'k' , 7 FROM folders f , calls c WHERE f . FolderId = c . FolderId",
    };
    const char* words[] = {"SELECT", "DISTINCT", "*", ",", "FROM", "calls", "folders", "c", "f",
                           "WHERE", "AND", "OR", "GROUP", "BY", "AS", "COUNT(", "SUM(", "MAX(",
                           "AVG(", ")", "(", ".", "=", "*=", "<>", "LIKE", "NOT", "'%a%'", "'F1'",
                           "1", "-", "NULL", "TRUE", "channel", "memo", "FolderId", "name",
                           "callID", "JOIN", "date", "'2024-06-15'", "''"};
    std::mt19937 rng(1234);
    int opened = 0, failed = 0;
    for (int i = 0; i < 4000; ++i) {
        std::vector<std::string> toks;
        std::istringstream in(valid[rng() % valid.size()]);
        for (std::string w; in >> w;) toks.push_back(w);
        for (int m = 1 + static_cast<int>(rng() % 3); m > 0 && !toks.empty(); --m) {
            size_t at = rng() % toks.size();
            switch (rng() % 3) {
                case 0: toks.erase(toks.begin() + static_cast<std::ptrdiff_t>(at)); break;
                case 1: toks.insert(toks.begin() + static_cast<std::ptrdiff_t>(at), words[rng() % std::size(words)]); break;
                default: toks[at] = words[rng() % std::size(words)]; break;
            }
        }
        std::string sql;
        for (const std::string& w : toks) sql += w + " ";
        TVolgaQuery query(&db);
        query.SetSQL(sql);
        try {
            query.Open();
            ++opened;
        } catch (const EVolgaError&) {
            ++failed;
        }
    }
    EXPECT_GT(opened, 50);
    EXPECT_GT(failed, 100);
}

}  // namespace
