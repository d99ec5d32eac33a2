// The search: the statement text for every field and operator, and the search grid's calls
// against SQLite's for the same criteria over the same generated calls.
#include <QTemporaryDir>
#include <fstream>
#include <random>

#include "CallsTableGenerator.h"
#include "DatabaseFixture.h"
#include "TCallSearch.h"
#include "TSearchModel.h"
#include "TSearchStatement.h"
#include "TSqliteCalls.h"
#include "TfmPelmorantDB.h"

namespace {

using Field = TSearchStatement::Field;
using Criterion = TSearchStatement::Criterion;

Criterion Text(Field field, int op, const QString& value) {
    Criterion c;
    c.CriterionField = field;
    c.Operator = op;
    c.Text = value;
    return c;
}

Criterion Number(Field field, int op, int value) {
    Criterion c;
    c.CriterionField = field;
    c.Operator = op;
    c.Number = value;
    return c;
}

const QDate kToday(2026, 12, 10);

QString Statement(const std::vector<Criterion>& rows, const QString& conjunction = "AND") {
    return TSearchStatement::Build(rows, conjunction, kToday, TVolgaFormatSettings::Iso());
}

QString Condition(const Criterion& c) {
    return TSearchStatement::Condition(c, kToday, TVolgaFormatSettings::Iso());
}

}  // namespace

TEST(SearchStatement, OneRowAndTwoRows) {
    EXPECT_EQ(Statement({Text(Field::Memo, 0, "abc")}),
              "SELECT * FROM calls WHERE calls.memo LIKE \"%abc%\"");
    EXPECT_EQ(Statement({Text(Field::Memo, 0, "abc"), Number(Field::Channel, 0, 1)}),
              "SELECT * FROM calls WHERE calls.memo LIKE \"%abc%\" AND\ncalls.channel = 1");
    EXPECT_EQ(Statement({Text(Field::Memo, 2, "x"), Number(Field::Channel, 1, 0),
                         Number(Field::CallDirection, 0, 2)},
                        "OR"),
              "SELECT * FROM calls WHERE calls.memo LIKE \"x\" OR\ncalls.channel <> 0 OR\n"
              "calls.inOut = 2");
}

TEST(SearchStatement, EveryFieldAndOperator) {
    const QStringList textOps = {"%1 LIKE \"%v%\"", "%1 NOT LIKE \"%v%\"", "%1 LIKE \"v\"",
                                 "%1 <> \"v\"",     "%1 LIKE \"v%\"",      "%1 LIKE \"%v\""};
    const std::pair<Field, QString> texts[] = {{Field::Memo, "calls.memo"},
                                               {Field::CallerId, "calls.callerID"},
                                               {Field::Dtmf, "calls.DTMF"}};
    for (const auto& [field, column] : texts) {
        const int count = static_cast<int>(TSearchStatement::Operators(field).size());
        EXPECT_EQ(count, field == Field::Memo ? 4 : 6);
        for (int op = 0; op < count; ++op)
            EXPECT_EQ(Condition(Text(field, op, "v")), textOps[op].arg(column))
                << column.toStdString() << op;
    }

    Criterion date;
    date.CriterionField = Field::Date;
    date.Date = QDate(2026, 3, 7);
    Criterion time;
    time.CriterionField = Field::Time;
    time.Time = QTime(9, 5, 30);
    const char* ops[] = {"=", "<>", "<=", ">="};  // is, is not, Is before, Is after
    for (int op = 0; op < 4; ++op) {
        date.Operator = time.Operator = op;
        EXPECT_EQ(Condition(date), QString("calls.date %1 \"2026-03-07\"").arg(ops[op]));
        EXPECT_EQ(Condition(time), QString("calls.StartTime %1 \"09:05:30\"").arg(ops[op]));
    }
    // Age in days counts back from today: older calls are dated before that day.
    EXPECT_EQ(Condition(Number(Field::AgeInDays, 0, 10)), "calls.date = \"2026-11-30\"");
    EXPECT_EQ(Condition(Number(Field::AgeInDays, 1, 10)), "calls.date > \"2026-11-30\"");
    EXPECT_EQ(Condition(Number(Field::AgeInDays, 2, 10)), "calls.date < \"2026-11-30\"");
    const char* channelOps[] = {"=", "<>", "<", ">"};
    for (int op = 0; op < 4; ++op)
        EXPECT_EQ(Condition(Number(Field::Channel, op, 3)),
                  QString("calls.channel %1 3").arg(channelOps[op]));
    EXPECT_EQ(Condition(Number(Field::CallDirection, 1, 1)), "calls.inOut <> 1");
    Criterion folder;
    folder.CriterionField = Field::Folder;
    EXPECT_EQ(Condition(folder), "calls.FolderID= \"\"");
    folder.FolderId = "0Ab3xY9z";
    EXPECT_EQ(Condition(folder), "calls.FolderID= \"0Ab3xY9z\"");
}

TEST(SearchStatement, TypedQuotesAreDoubled) {
    EXPECT_EQ(Condition(Text(Field::CallerId, 2, "say \"hi\"")),
              "calls.callerID LIKE \"say \"\"hi\"\"\"");
    EXPECT_EQ(Condition(Text(Field::Memo, 0, "\"")), "calls.memo LIKE \"%\"\"%\"");
}

namespace {

// Calls with memos and caller IDs that mix letter case, quotes and non-ASCII letters (none whose
// capital is two letters, such as "ß": the engine capitalises letter by letter).
std::vector<callsgen::CallRow> SearchRows(int count) {
    callsgen::CallsGenerator gen(4242);
    std::mt19937 rng(7);
    const std::vector<std::string> words = {"urgent",
                                            "Urgent",
                                            "say \"hi\"",
                                            "O'Brien",
                                            "\xC3\xBC"
                                            "ber",  // über
                                            "\xC3\x9C"
                                            "BER",  // ÜBER
                                            "\xC3\x84"
                                            "rger",  // Ärger
                                            "call",
                                            "back",
                                            "12",
                                            "\"",
                                            "ab"};
    std::vector<callsgen::CallRow> rows;
    for (int i = 0; i < count; ++i) {
        callsgen::CallRow r = gen.Next();
        r.Memo.clear();
        for (int w = static_cast<int>(rng() % 4); w > 0; --w)
            r.Memo += (r.Memo.empty() ? "" : " ") + words[rng() % words.size()];
        if (rng() % 5 == 0) r.CallerId = words[rng() % words.size()];
        r.Channel = static_cast<int>(rng() % 4);
        r.Year = 2026;
        r.Month = 11 + static_cast<int>(rng() % 2);
        r.Day = 1 + static_cast<int>(rng() % 10);
        r.StartMs = (8 * 3600 + static_cast<int>(rng() % 4) * 1800) * 1000;
        rows.push_back(std::move(r));
    }
    return rows;
}

// A text test as the search means it, with letters compared after upper-casing (every letter,
// not only ASCII ones): the reference the SQLite side calls for the text criteria.
void TextMatches(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int op = sqlite3_value_int(argv[0]);
    auto text = [](sqlite3_value* v) {
        const unsigned char* t = sqlite3_value_text(v);
        return QString::fromUtf8(t ? reinterpret_cast<const char*>(t) : "");
    };
    const QString field = text(argv[1]), value = text(argv[2]);
    const QString f = field.toUpper(), v = value.toUpper();
    bool result = false;
    switch (op) {
        case 0:
            result = f.contains(v);
            break;
        case 1:
            result = !f.contains(v);
            break;
        case 2:
            result = f == v;
            break;
        case 3:
            result = field != value;
            break;  // "is not" compares the text as stored
        case 4:
            result = f.startsWith(v);
            break;
        case 5:
            result = f.endsWith(v);
            break;
    }
    sqlite3_result_int(ctx, result ? 1 : 0);
}

std::string SqlQuote(const QString& s) {
    std::string q = "'";
    for (char ch : s.toStdString()) {
        if (ch == '\'') q += '\'';
        q += ch;
    }
    return q + "'";
}

// The same criterion as SQLite conditions over the mirrored rows.
std::string SqliteCondition(const Criterion& c, const QDate& today) {
    const char* cmp4[] = {" = ", " <> ", " <= ", " >= "};
    switch (c.CriterionField) {
        case Field::Memo:
        case Field::CallerId:
        case Field::Dtmf: {
            const char* column = c.CriterionField == Field::Memo       ? "Memo"
                                 : c.CriterionField == Field::CallerId ? "callerID"
                                                                       : "dtmf";
            return "text_matches(" + std::to_string(c.Operator) + ", " + column + ", " +
                   SqlQuote(c.Text) + ")";
        }
        case Field::Date:
            return std::string("Date") + cmp4[c.Operator] + SqlQuote(c.Date.toString("yyyy-MM-dd"));
        case Field::Time:
            return std::string("startTime") + cmp4[c.Operator] +
                   SqlQuote(c.Time.toString("HH:mm:ss"));
        case Field::AgeInDays: {
            const char* ops[] = {" = ", " > ", " < "};
            return std::string("Date") + ops[c.Operator] +
                   SqlQuote(today.addDays(-c.Number).toString("yyyy-MM-dd"));
        }
        case Field::Channel: {
            const char* ops[] = {" = ", " <> ", " < ", " > "};
            return std::string("Channel") + ops[c.Operator] + std::to_string(c.Number);
        }
        case Field::Folder:
            return "FolderId = " + SqlQuote(c.FolderId);
        case Field::CallDirection:
            return std::string("inOut") + (c.Operator == 0 ? " = " : " <> ") +
                   std::to_string(c.Number);
    }
    return "1";
}

class SearchTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        clock.now = QDateTime(kToday, QTime(12, 0));
        rows = SearchRows(2500);
        std::ofstream(globals.AppDataDir.toStdString() + "/Calls.d", std::ios::binary)
            << callsgen::CallsImage(rows);
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        model = std::make_unique<TSearchModel>(&db->queSearch);
        search = std::make_unique<TCallSearch>(*db);
        search->Model = model.get();
        sql.Insert(rows);
        sqlite3_create_function(sql.Handle(), "text_matches", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, TextMatches, nullptr, nullptr);
    }
    // The search grid's calls.
    std::vector<std::string> Found() {
        std::vector<std::string> ids;
        if (!db->queSearch.Active()) return ids;
        const int callId = db->queSearch.FieldByName("callID").FieldNo();
        for (int r = 0; r < model->rowCount(); ++r) ids.push_back(db->queSearch.TextAt(r, callId));
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    std::vector<std::string> Expected(const std::vector<Criterion>& criteria) {
        std::string where;
        for (const Criterion& c : criteria)
            where += (where.empty() ? "" : " AND ") + SqliteCondition(c, kToday);
        std::vector<std::string> ids = sql.Column0("SELECT callID FROM calls WHERE " + where);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    Criterion RandomCriterion(std::mt19937& rng) {
        const callsgen::CallRow& r = rows[rng() % rows.size()];
        Criterion c;
        c.CriterionField = TSearchStatement::FieldAt(static_cast<int>(rng() % 9));
        const int ops = static_cast<int>(TSearchStatement::Operators(c.CriterionField).size());
        c.Operator = ops > 0 ? static_cast<int>(rng() % static_cast<unsigned>(ops)) : 0;
        // A whole value, a piece of one, a case change, or text no call has.
        auto piece = [&rng](const QString& s) {
            switch (rng() % 4) {
                case 0:
                    return s;
                case 1:
                    return s.mid(static_cast<int>(rng() % (s.size() + 1)), 3);
                case 2:
                    return s.toUpper();
                default:
                    return QString("nowhere");
            }
        };
        switch (c.CriterionField) {
            case Field::Memo:
                c.Text = piece(QString::fromStdString(r.Memo));
                break;
            case Field::CallerId:
                c.Text = piece(QString::fromStdString(r.CallerId));
                break;
            case Field::Dtmf:
                c.Text = piece(QString::fromStdString(r.Dtmf));
                break;
            case Field::Date:
                c.Date = QDate(r.Year, r.Month, r.Day);
                break;
            case Field::Time:
                c.Time = QTime::fromMSecsSinceStartOfDay(r.StartMs);
                break;
            case Field::AgeInDays:
                c.Number = static_cast<int>(rng() % 40);
                break;
            case Field::Channel:
                c.Number = static_cast<int>(rng() % 4);
                break;
            case Field::Folder:
                c.FolderId = rng() % 8 ? QString::fromStdString(r.FolderId) : "";
                break;
            case Field::CallDirection:
                c.Number = static_cast<int>(rng() % 3);
                break;
        }
        return c;
    }

    std::vector<callsgen::CallRow> rows;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TSearchModel> model;
    std::unique_ptr<TCallSearch> search;
    TSqliteCalls sql;
};

}  // namespace

TEST_F(SearchTest, RandomCriteriaFindWhatSqliteFinds) {
    std::mt19937 rng(99);
    int some = 0, notAll = 0;
    for (int i = 0; i < 300; ++i) {
        std::vector<Criterion> criteria;
        for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n)
            criteria.push_back(RandomCriterion(rng));
        const QString statement = Statement(criteria);
        ASSERT_TRUE(search->Search(statement))
            << statement.toStdString() << ": " << search->LastError().toStdString();
        const std::vector<std::string> expected = Expected(criteria);
        EXPECT_EQ(Found(), expected) << statement.toStdString();
        some += !expected.empty();
        notAll += expected.size() < rows.size();
    }
    EXPECT_GT(some, 75);
    EXPECT_GT(notAll, 75);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join('\n').toStdString();
}

TEST_F(SearchTest, DoesntContainFindsTheCallsWithoutTheText) {
    for (const QString& text : {QString("urgent"),
                                QString("\xC3\xBC"
                                        "BER"),
                                QString("\"")}) {
        ASSERT_TRUE(search->Search(Statement({Text(Field::Memo, 1, text)})));
        std::vector<std::string> lacking;
        for (const callsgen::CallRow& r : rows)
            if (!QString::fromStdString(r.Memo).toUpper().contains(text.toUpper()))
                lacking.push_back(r.CallId);
        std::sort(lacking.begin(), lacking.end());
        EXPECT_EQ(Found(), lacking) << text.toStdString();
        EXPECT_GT(lacking.size(), 0u);
        EXPECT_LT(lacking.size(), rows.size());
    }
}

TEST_F(SearchTest, TheGridShowsTheResultInItsColumns) {
    const callsgen::CallRow& r = rows[17];
    Criterion date;
    date.CriterionField = Field::Date;
    date.Date = QDate(r.Year, r.Month, r.Day);
    ASSERT_TRUE(search->Search(
        Statement({date, Text(Field::CallerId, 2, QString::fromStdString(r.CallerId))})));
    ASSERT_GE(model->rowCount(), 1);
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, QStringList({"Channel", "Date", "Time", "Duration", "Direction", "Folder",
                                   "DTMF digits", "Caller ID", "Memo", "Medium label"}));
    int row = 0;
    const int callId = db->queSearch.FieldByName("callID").FieldNo();
    while (row < model->rowCount() && db->queSearch.TextAt(row, callId) != r.CallId) ++row;
    ASSERT_LT(row, model->rowCount());
    auto cell = [&](int column) { return model->index(row, column).data().toString(); };
    EXPECT_EQ(cell(1), QString::fromStdString(callsgen::DateText(r)));
    EXPECT_EQ(cell(2), QString::fromStdString(callsgen::TimeText(r.StartMs)));
    EXPECT_EQ(cell(4), TSearchStatement::Directions()[r.InOut]);
    EXPECT_EQ(cell(8), QString::fromStdString(r.Memo));
}

TEST_F(SearchTest, ARejectedStatementIsShownAndTheGridStaysEmpty) {
    ASSERT_TRUE(search->Search(Statement({Number(Field::Channel, 0, 1)})));
    ASSERT_GT(model->rowCount(), 0);
    // "Match any of the terms" writes OR, which the engine does not take.
    EXPECT_FALSE(search->Search(
        Statement({Number(Field::Channel, 0, 1), Number(Field::Channel, 0, 2)}, "OR")));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("Error in comparison expression"))
        << messages.shown[0].toStdString();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_FALSE(db->queSearch.Active());
    // "Clear" empties the grid as well.
    ASSERT_TRUE(search->Search(Statement({Number(Field::Channel, 0, 1)})));
    search->Clear();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(SearchTest, DatesAndTimesInTheSystemsFormatFindTheirCalls) {
    const callsgen::CallRow& r = rows[42];
    Criterion date;
    date.CriterionField = Field::Date;
    date.Date = QDate(r.Year, r.Month, r.Day);
    Criterion time;
    time.CriterionField = Field::Time;
    time.Time = QTime::fromMSecsSinceStartOfDay(r.StartMs);
    for (const auto& [dateFormat, timeFormat] :
         {std::pair{"dd.mm.yyyy", "hh:nn:ss"}, std::pair{"m/d/yyyy", "h:nn:ss am/pm"}}) {
        TVolgaFormatSettings format;
        format.ShortDateFormat = dateFormat;
        format.LongTimeFormat = timeFormat;
        SetSystemFormat(format);
        search.reset();
        model.reset();
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        ASSERT_TRUE(db->OpenDatabase());
        model = std::make_unique<TSearchModel>(&db->queSearch);
        search = std::make_unique<TCallSearch>(*db);
        search->Model = model.get();
        const QString statement =
            TSearchStatement::Build({date, time}, "AND", kToday, SystemFormat());
        ASSERT_TRUE(search->Search(statement)) << search->LastError().toStdString();
        const std::vector<std::string> found = Found();
        EXPECT_EQ(found, Expected({date, time})) << statement.toStdString();
        EXPECT_NE(std::find(found.begin(), found.end(), r.CallId), found.end());
    }
}
