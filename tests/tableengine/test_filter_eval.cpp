// Filters prepared for a cursor and evaluated on its records.
#include <gtest/gtest.h>

#include <chrono>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaFilter.h"
#include "VolgaConvert.h"

namespace {

struct Row {
    const char* FolderID;
    const char* Memo;
    int Channel;
    const char* Name;
    bool Flag;
    double Amount;
    const char* Day;    // yyyy-mm-dd, "" for none
    const char* Start;  // hh:nn:ss
};

const Row kRows[] = {
    {"0Ab3xY9z", "call about ABC", 1, "Alice", true, 1.5, "2024-06-15", "10:00:00"},
    {"0ab3xy9z", "abc", -1, "Bob", false, -2.25, "2024-06-14", "09:30:00"},
    {"0Ab3xY9z", "ABC", 2, "0Ab3xY9z", false, 0, "2024-06-16", "11:15:00"},
    {"zzz", "nothing here", 3, "Carol", true, 100, "", ""},
    {"zzz", "", 12, "alice", false, 1.5, "2023-12-31", "23:59:59"},
};

class FilterEval : public ::testing::Test {
protected:
    void SetUp() override {
        std::string msg;
        ASSERT_TRUE(cursor.LoadFromImage(TVolgaCursor::BuildEmptyImage({
                                             {"FolderID", TFieldType::ftString, 10},
                                             {"memo", TFieldType::ftMemo, 0},
                                             {"channel", TFieldType::ftInteger, 0},
                                             {"Name", TFieldType::ftString, 10},
                                             {"Flag", TFieldType::ftBoolean, 0},
                                             {"Amount", TFieldType::ftFloat, 0},
                                             {"Day", TFieldType::ftDate, 0},
                                             {"StartTime", TFieldType::ftTime, 0},
                                             {"Small", TFieldType::ftSmallint, 0},
                                             {"Stamp", TFieldType::ftDateTime, 0},
                                         }),
                                         msg))
            << msg;
        for (const Row& r : kRows) {
            TVolgaRecordData d = cursor.NewBuffer();
            Set(d, "FolderID", r.FolderID);
            cursor.FieldByName("memo")->SetText(d, r.Memo);
            Set(d, "channel", std::to_string(r.Channel));
            Set(d, "Name", r.Name);
            cursor.FieldByName("Flag")->SetBool(d, r.Flag);
            cursor.FieldByName("Amount")->SetFloat(d, r.Amount);
            Set(d, "Day", r.Day);
            Set(d, "StartTime", r.Start);
            Set(d, "Small", std::to_string(r.Channel));
            Set(d, "Stamp", std::string(r.Day) + " " + r.Start);
            ASSERT_NE(cursor.PostRecord(d, nullptr, msg), nullptr) << msg;
        }
    }

    void Set(TVolgaRecordData& d, const char* field, const std::string& text) {
        VolgaTextToValue(*cursor.FieldByName(field), text, d, fmt);
    }

    // 1-based numbers of the records that pass, e.g. "1 3".
    std::string Passing(const std::string& text, bool caseInsensitive = false) {
        TVolgaFilter f;
        f.SetText(text, fmt);
        f.Prepare(cursor, fmt);
        std::string out;
        for (int i = 0; i < cursor.RecordCount(); ++i) {
            if (f.Evaluate(cursor.Record(i)->Data, caseInsensitive, fmt)) {
                if (!out.empty()) out += ' ';
                out += std::to_string(i + 1);
            }
        }
        return out;
    }

    std::string Error(const std::string& text) {
        try {
            Passing(text);
        } catch (const EVolgaError& e) {
            return e.what();
        }
        return "(no error)";
    }

    TVolgaCursor cursor;
    TVolgaFormatSettings fmt;
};

}  // namespace

TEST_F(FilterEval, FolderFilterKeepsExactlyTheFolderWithCaseRespected) {
    EXPECT_EQ(Passing("FolderID='0Ab3xY9z'"), "1 3");
    EXPECT_EQ(Passing("folderid = \"0ab3xy9z\""), "2");
    EXPECT_EQ(Passing("FolderID='0Ab3xY9z'", true), "1 2 3");  // the dataset's option
    EXPECT_EQ(Passing("FolderID=''"), "");
}

TEST_F(FilterEval, LikeIgnoresCaseAndMatchesTheWholeValue) {
    EXPECT_EQ(Passing("memo LIKE '%abc%'"), "1 2 3");
    EXPECT_EQ(Passing("memo LIKE 'abc'"), "2 3");
    EXPECT_EQ(Passing("memo LIKE '%'"), "1 2 3 4 5");
    EXPECT_EQ(Passing("memo NOT LIKE '%abc%'"), "4 5");
    EXPECT_EQ(Passing("Name LIKE 'a%'"), "1 5");
    // Other types are matched through their text.
    EXPECT_EQ(Passing("channel LIKE '1%'"), "1 5");
    EXPECT_EQ(Passing("Flag LIKE 'y%'"), "1 4");
    EXPECT_EQ(Passing("Day LIKE '2024-06-1_'"), "1 2 3");
    EXPECT_EQ(Passing("Amount LIKE '%.5'"), "1 5");
}

TEST_F(FilterEval, LikeWithAFieldOnTheRightMatchesNothing) {
    EXPECT_EQ(Passing("memo LIKE Name"), "");
    EXPECT_EQ(Passing("memo NOT LIKE Name"), "1 2 3 4 5");
    // A quoted LIKE pattern is a pattern even when it spells a field name.
    EXPECT_EQ(Passing("FolderID LIKE 'name'"), "");
    EXPECT_EQ(Passing("Name LIKE 'alice'"), "1 5");
}

TEST_F(FilterEval, NumbersAndNegativeNumbers) {
    EXPECT_EQ(Passing("channel = -1"), "2");
    EXPECT_EQ(Passing("channel > 1"), "3 4 5");
    EXPECT_EQ(Passing("channel >= 2 AND channel <= 3"), "3 4");
    EXPECT_EQ(Passing("channel <> 3"), "1 2 3 5");
    EXPECT_EQ(Passing("channel < 0"), "2");
    EXPECT_EQ(Passing("Small = -1"), "2");
    EXPECT_EQ(Passing("Amount = 1.5"), "1 5");
    EXPECT_EQ(Passing("Amount < -2"), "2");
    EXPECT_EQ(Passing("Amount = 0"), "3");
    EXPECT_EQ(Passing("channel = 12 AND Amount > 1 AND Name = 'alice'"), "5");
}

TEST_F(FilterEval, BooleansDatesAndTimes) {
    EXPECT_EQ(Passing("Flag = TRUE"), "1 4");
    EXPECT_EQ(Passing("Flag = false"), "2 3 5");
    EXPECT_EQ(Passing("Flag = 'yes'"), "1 4");
    EXPECT_EQ(Passing("Day <= '2024-06-15'"), "1 2 4 5");  // an empty date is 0
    EXPECT_EQ(Passing("Day = 2024-06-15"), "1");           // a number token
    EXPECT_EQ(Passing("Day > '2024-06-14' AND Day < '2024-06-16'"), "1");
    EXPECT_EQ(Passing("StartTime >= '10:00'"), "1 3 5");
    EXPECT_EQ(Passing("Stamp > '2024-06-15 09:00'"), "1 3");
    EXPECT_EQ(Passing("Stamp = '2023-12-31 23:59:59'"), "5");
    // NULL is the text NULL in the field's type: 0 for numbers and dates.
    EXPECT_EQ(Passing("Day = NULL"), "4");
    EXPECT_EQ(Passing("Name = NULL"), "");
}

TEST_F(FilterEval, QuotedNameOfAFieldComparesWithThatField) {
    EXPECT_EQ(Passing("Name = 'FolderID'"), "3");
    EXPECT_EQ(Passing("Name = FolderID"), "3");
    EXPECT_EQ(Passing("Name <> 'folderid'"), "1 2 4 5");
    EXPECT_EQ(Passing("Name = 'Nothing'"), "");  // no such field: a literal
    // Fields of the integer family compare with each other.
    EXPECT_EQ(Passing("channel > Day"), "4");
    EXPECT_EQ(Passing("Amount >= Stamp"), "4");
    EXPECT_EQ(Passing("Small = Small"), "1 2 3 4 5");
}

TEST_F(FilterEval, CaseInsensitiveOptionAppliesToTexts) {
    EXPECT_EQ(Passing("Name = 'ALICE'"), "");
    EXPECT_EQ(Passing("Name = 'ALICE'", true), "1 5");
    EXPECT_EQ(Passing("Name > 'b'", true), "2 4");
}

TEST_F(FilterEval, OuterJoinMarkerAlwaysHolds) {
    EXPECT_EQ(Passing("channel *= 5"), "1 2 3 4 5");
    EXPECT_EQ(Passing("channel *= Name"), "1 2 3 4 5");
}

TEST_F(FilterEval, UnknownFieldsAndIncompatibleTypes) {
    EXPECT_EQ(Error("Nope = 1"), "Field Nope is not found");
    EXPECT_EQ(Error("channel = 1 AND x.Missing > 2"), "Field Missing is not found");
    EXPECT_EQ(Error("channel = Nope"), "Field Nope is not found");
    EXPECT_EQ(Error("memo LIKE Nope"), "Field Nope is not found");
    EXPECT_EQ(Error("'Nope' = 1"), "Field Nope is not found");
    EXPECT_EQ(Error("channel = Amount"), "Types of compared fields are not equal");
    EXPECT_EQ(Error("Small = channel"), "Types of compared fields are not equal");
    EXPECT_EQ(Error("Name = 'Flag'"), "Types of compared fields are not equal");
    EXPECT_EQ(Error("memo LIKE '%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a'"),
              "'%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a' is an invalid "
              "mask at (62)");
}

TEST_F(FilterEval, EmptyAndUnpreparedFilters) {
    TVolgaFilter f;
    EXPECT_TRUE(f.Evaluate(cursor.Record(0)->Data, false, fmt));
    // Conditions that were never prepared name no field: they fail instead of reading garbage.
    f.SetText("channel = 1", fmt);
    EXPECT_FALSE(f.Evaluate(cursor.Record(0)->Data, false, fmt));
    f.Prepare(cursor, fmt);
    EXPECT_TRUE(f.Evaluate(cursor.Record(0)->Data, false, fmt));
    // Preparing again (the visible list is rebuilt) gives the same result.
    f.Prepare(cursor, fmt);
    EXPECT_TRUE(f.Evaluate(cursor.Record(0)->Data, false, fmt));
}

TEST(FilterSpeed, HundredThousandRecordsInAFewMilliseconds) {
    TVolgaCursor cursor;
    TVolgaFormatSettings fmt;
    std::string msg;
    ASSERT_TRUE(cursor.LoadFromImage(TVolgaCursor::BuildEmptyImage({
                                         {"FolderID", TFieldType::ftString, 10},
                                         {"channel", TFieldType::ftInteger, 0},
                                         {"callID", TFieldType::ftString, 40},
                                     }),
                                     msg));
    const TVolgaField* folder = cursor.FieldByName("FolderID");
    const TVolgaField* channel = cursor.FieldByName("channel");
    const TVolgaField* call = cursor.FieldByName("callID");
    for (int i = 0; i < 100000; ++i) {
        TVolgaRecordData d = cursor.NewBuffer();
        folder->SetText(d, i % 10 == 0 ? "0Ab3xY9z" : "other");
        channel->SetInt(d, i % 16);
        call->SetText(d, "call-" + std::to_string(i));
        ASSERT_NE(cursor.PostRecord(d, nullptr, msg), nullptr);
    }
    TVolgaFilter f;
    f.SetText("FolderID='0Ab3xY9z' AND channel >= 4 AND callID <> 'x'", fmt);
    f.Prepare(cursor, fmt);
    auto start = std::chrono::steady_clock::now();
    int kept = 0;
    for (const auto& r : cursor.Records()) kept += f.Evaluate(r->Data, false, fmt);
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    EXPECT_EQ(kept, 7500);  // i % 10 == 0 and i % 16 >= 4: six of every eight such i
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(us, 500000);
#else
    EXPECT_LT(us, 50000);
#endif
}
