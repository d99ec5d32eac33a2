// Differential test: random WHERE lists over a generated Calls table, run by the query engine
// and by SQLite over the same rows, must select the same calls.
//
// Where the two languages differ, the generated data and conditions stay on common ground:
//  - dates and times are stored in SQLite as ISO texts (yyyy-mm-dd, hh:nn:ss), which order like
//    the engine's day and millisecond numbers; no call starts at midnight, whose time the engine
//    writes as an empty text (LIKE would see "" where SQLite sees "00:00:00");
//  - empty texts are stored as '' in SQLite, never NULL (the engine has no NULL: an empty text
//    is a value that sorts first);
//  - integer literals only (the engine reads "1.5" for an integer field as 0, SQLite compares
//    1.5 numerically); date and time literals are always valid (an invalid one reads as 0);
//  - texts contain no "*" or "?" (wildcards in the engine's LIKE, plain characters in SQLite),
//    and a pattern never has "_" right after "%" (the engine drops it, SQLite requires a
//    character there);
//  - non-ASCII letters in the data have no case (SQLite's LIKE folds ASCII letters only, the
//    engine folds every letter: checked separately below).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "CallsTableGenerator.h"
#include "TSqliteCalls.h"
#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaQuery.h"
#include "TVolgaTable.h"
#include "VolgaConvert.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 3000;
constexpr int kQueries = 400;

enum class Kind { Text, Integer, Date, Time };
struct Column {
    const char* Name;
    Kind K;
};
const Column kColumns[] = {
    {"callID", Kind::Text},     {"FolderId", Kind::Text},  {"dtmf", Kind::Text},
    {"callerID", Kind::Text},   {"Memo", Kind::Text},      {"Channel", Kind::Integer},
    {"inOut", Kind::Integer},   {"fileSize", Kind::Integer}, {"Date", Kind::Date},
    {"startTime", Kind::Time},  {"stopTime", Kind::Time},
};

// Generated calls, with memos varied in case, quotes, LIKE wildcards and caseless non-ASCII
// characters.
std::vector<callsgen::CallRow> MakeRows() {
    callsgen::CallsGenerator gen(77);
    std::mt19937 rng(99);
    const char* words[] = {"urgent", "Urgent", "URGENT", "call", "back", "order", "O'Brien",
                           "50%", "under_score", "\xE2\x9C\x93", "\xE2\x82\xAC", "\xE6\x97\xA5\xE6\x9C\xAC",
                           "x", "ab", "Ab", "12"};
    std::vector<callsgen::CallRow> rows;
    for (int i = 0; i < kRows; ++i) {
        callsgen::CallRow r = gen.Next();
        if (r.StartMs == 0) r.StartMs = 1000;
        switch (rng() % 6) {
            case 0: r.Memo.clear(); break;
            case 1: break;  // the generator's own
            default: {
                r.Memo.clear();
                for (int w = static_cast<int>(rng() % 5); w >= 0; --w) {
                    if (!r.Memo.empty()) r.Memo += ' ';
                    r.Memo += words[rng() % std::size(words)];
                }
            }
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

std::string ValueOf(const callsgen::CallRow& r, const Column& c) {
    const std::string n = c.Name;
    if (n == "callID") return r.CallId;
    if (n == "FolderId") return r.FolderId;
    if (n == "dtmf") return r.Dtmf;
    if (n == "callerID") return r.CallerId;
    if (n == "Memo") return r.Memo;
    if (n == "Channel") return std::to_string(r.Channel);
    if (n == "inOut") return std::to_string(r.InOut);
    if (n == "fileSize") return std::to_string(r.FileSize);
    if (n == "Date") return callsgen::DateText(r);
    if (n == "startTime") return callsgen::TimeText(r.StartMs);
    return callsgen::TimeText(r.StopMs);
}

std::string QuoteText(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += '\'';
        q += c;
    }
    return q + "'";
}

// A LIKE pattern from a piece of a value: some characters become "_", "%" may surround it,
// ASCII letters change case.
std::string MakePattern(const std::string& value, std::mt19937& rng) {
    std::string p;
    if (!value.empty()) {
        size_t a = rng() % value.size();
        size_t len = 1 + rng() % std::min<size_t>(6, value.size() - a);
        p = value.substr(a, len);
        // Keep whole UTF-8 characters.
        while (!p.empty() && (static_cast<unsigned char>(p[0]) & 0xC0) == 0x80) p.erase(0, 1);
        while (!p.empty() && (static_cast<unsigned char>(p.back()) & 0x80)) {
            size_t start = p.size() - 1;
            while (start > 0 && (static_cast<unsigned char>(p[start]) & 0xC0) == 0x80) --start;
            size_t need = (static_cast<unsigned char>(p[start]) >= 0xF0) ? 4
                          : (static_cast<unsigned char>(p[start]) >= 0xE0) ? 3 : 2;
            if (p.size() - start == need) break;
            p.resize(start);
        }
        for (char& ch : p) {
            if (static_cast<unsigned char>(ch) < 0x80 && rng() % 8 == 0) ch = '_';
            else if (ch >= 'a' && ch <= 'z' && rng() % 3 == 0) ch = static_cast<char>(ch - 32);
            else if (ch >= 'A' && ch <= 'Z' && rng() % 3 == 0) ch = static_cast<char>(ch + 32);
        }
    }
    switch (rng() % 4) {
        case 0: p = "%" + p + "%"; break;
        case 1: p = "%" + p; break;
        case 2: p = p + "%"; break;
        default: break;
    }
    if (rng() % 20 == 0) p = "%";
    // "%_" means "%" to the engine: leave such "_" out.
    for (size_t k; (k = p.find("%_")) != std::string::npos;) p.erase(k + 1, 1);
    return p;
}

std::string MakeCondition(const std::vector<callsgen::CallRow>& rows, std::mt19937& rng) {
    const Column& c = kColumns[rng() % std::size(kColumns)];
    const callsgen::CallRow& r = rows[rng() % rows.size()];
    const std::string value = ValueOf(r, c);
    static const char* ops[] = {"=", "<>", "<", ">", "<=", ">=", "LIKE", "NOT LIKE"};
    const std::string op = ops[rng() % std::size(ops)];
    std::string rhs;
    if (op == "LIKE" || op == "NOT LIKE") {
        rhs = QuoteText(MakePattern(value, rng));
    } else {
        switch (c.K) {
            case Kind::Text: {
                std::string v = value;
                switch (rng() % 4) {
                    case 0: v = v.substr(0, rng() % (v.size() + 1)); break;
                    case 1: v += "Z"; break;
                    default: break;
                }
                rhs = QuoteText(v);
                break;
            }
            case Kind::Integer:
                rhs = std::to_string(std::stoll(value) + static_cast<int>(rng() % 5) - 2);
                break;
            case Kind::Date: {
                char b[16];
                std::snprintf(b, sizeof b, "2026-%02d-%02d", 1 + static_cast<int>(rng() % 12),
                              1 + static_cast<int>(rng() % 28));
                rhs = rng() % 2 ? QuoteText(value) : QuoteText(b);
                break;
            }
            case Kind::Time:
                rhs = rng() % 2 ? QuoteText(value)
                                : QuoteText(callsgen::TimeText(static_cast<int32_t>(rng() % 86400) * 1000));
                break;
        }
    }
    return std::string(c.Name) + " " + op + " " + rhs;
}

class QueryVsSqlite : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("volga_qsql_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        db.SetDatabasePath(dir.string());
        rows = MakeRows();
        WriteTable();
        sql.Insert(rows);
    }
    void TearDown() override { fs::remove_all(dir); }

    void WriteTable() {
        std::string error;
        ASSERT_TRUE(TVolgaEnv::Default()->WriteFileAtomic((dir / "Calls.d").string(),
                                                          callsgen::CallsImage(rows), error));
    }

    fs::path dir;
    TVolgaDatabase db;
    std::vector<callsgen::CallRow> rows;
    TSqliteCalls sql;
};

TEST_F(QueryVsSqlite, RandomWhereListsSelectTheSameCalls) {
    std::mt19937 rng(2024);
    int nonEmpty = 0, notAll = 0;
    for (int i = 0; i < kQueries; ++i) {
        std::string where;
        for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n)
            where += (where.empty() ? "" : " AND ") + MakeCondition(rows, rng);
        const std::string statement = "SELECT callID FROM calls WHERE " + where;
        // Every other query the way the program's search runs it: Calls as the updatable
        // origin, loaded whole and filtered afterwards.
        TVolgaQuery q(&db);
        if (i % 2) {
            q.Origin = "calls";
            q.UniqueFieldNames = "callID";
        }
        q.SetSQL(statement);
        std::vector<std::string> ours;
        try {
            q.Open();
        } catch (const EVolgaError& e) {
            ADD_FAILURE() << statement << ": " << e.what();
            continue;
        }
        for (int r = 0; r < q.RecordCount(); ++r) ours.push_back(q.TextAt(r, 0));
        std::vector<std::string> theirs = sql.Column0(statement);
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        EXPECT_EQ(ours, theirs) << statement;
        if (!theirs.empty()) ++nonEmpty;
        if (theirs.size() < rows.size()) ++notAll;
    }
    // The conditions select something and not everything often enough to mean something.
    EXPECT_GT(nonEmpty, kQueries / 4);
    EXPECT_GT(notAll, kQueries / 4);
}

// Where the two differ on purpose: the engine's LIKE ignores the case of every letter, SQLite's
// only that of ASCII letters; "*" and "?" are wildcards to the engine only.
TEST_F(QueryVsSqlite, KnownDifferences) {
    sql.Exec("CREATE TABLE t (memo TEXT)");
    sql.Exec("INSERT INTO t VALUES ('Ünïcödé'), ('a*b')");
    EXPECT_EQ(sql.Column0("SELECT memo FROM t WHERE memo LIKE 'ü%'"), std::vector<std::string>{});
    EXPECT_EQ(sql.Column0("SELECT memo FROM t WHERE memo LIKE 'a?b'"), std::vector<std::string>{});

    TVolgaTable t(&db);
    t.SetTableName("T.d");
    t.FieldDefs = {{"memo", TFieldType::ftString, 40}};
    t.CreateTable();
    for (const char* v : {"Ünïcödé", "a*b"}) {
        t.Append();
        t.FieldByName("memo").SetAsString(v);
        t.Post();
    }
    t.SaveChanges();
    TVolgaQuery q(&db);
    q.SetSQL("SELECT memo FROM t WHERE memo LIKE 'ü%'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.TextAt(0, 0), "Ünïcödé");
    q.SetSQL("SELECT memo FROM t WHERE memo LIKE 'a?b'");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
}

}  // namespace
