// Text of a stored value and stored value of a text, for every field type.
#include <gtest/gtest.h>

#include "TVolgaCursor.h"
#include "VolgaConvert.h"

namespace {

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string msg;
        ASSERT_TRUE(cursor.LoadFromImage(TVolgaCursor::BuildEmptyImage({
                                             {"si", TFieldType::ftSmallint, 0},
                                             {"i", TFieldType::ftInteger, 0},
                                             {"big", TFieldType::ftLargeint, 0},
                                             {"b", TFieldType::ftBoolean, 0},
                                             {"f", TFieldType::ftFloat, 0},
                                             {"cur", TFieldType::ftCurrency, 0},
                                             {"d", TFieldType::ftDate, 0},
                                             {"t", TFieldType::ftTime, 0},
                                             {"dt", TFieldType::ftDateTime, 0},
                                             {"ai", TFieldType::ftAutoInc, 0},
                                             {"short", TFieldType::ftString, 10},
                                             {"long", TFieldType::ftString, 50},
                                             {"memo", TFieldType::ftMemo, 0},
                                             {"fmemo", TFieldType::ftFmtMemo, 0},
                                             {"blob", TFieldType::ftBlob, 0},
                                             {"pic", TFieldType::ftGraphic, 0},
                                         }),
                                         msg))
            << msg;
        buf = cursor.NewBuffer();
    }

    const TVolgaField& F(const char* name) {
        const TVolgaField* f = cursor.FieldByName(name);
        EXPECT_NE(f, nullptr) << name;
        return *f;
    }
    // Stores `text` into field `name` and returns the text read back from it.
    std::string RoundTrip(const char* name, const std::string& text) {
        VolgaTextToValue(F(name), text, buf, fmt);
        return VolgaValueToText(F(name), buf, fmt);
    }
    int64_t IntOf(const char* name, const std::string& text) {
        VolgaTextToValue(F(name), text, buf, fmt);
        return F(name).GetInt(buf);
    }

    TVolgaCursor cursor;
    TVolgaRecordData buf;
    TVolgaFormatSettings fmt;
};

}  // namespace

TEST_F(ConvertTest, FieldTypesAreTheOnesUnderTest) {
    EXPECT_EQ(F("short").DataType, TVolgaFieldType::SmallStr);
    EXPECT_EQ(F("long").DataType, TVolgaFieldType::String);
    EXPECT_EQ(F("memo").Size, 0);
}

TEST_F(ConvertTest, IntegersDecimalAndHexadecimal) {
    EXPECT_EQ(IntOf("i", "123"), 123);
    EXPECT_EQ(IntOf("i", "-45"), -45);
    EXPECT_EQ(IntOf("i", "+7"), 7);
    EXPECT_EQ(IntOf("i", "$FF"), 255);
    EXPECT_EQ(IntOf("i", "$ff"), 255);
    EXPECT_EQ(IntOf("i", "-$10"), -16);
    EXPECT_EQ(IntOf("i", "$FFFFFFFF"), -1);
    EXPECT_EQ(IntOf("i", "-$80000000"), INT32_MIN);
    EXPECT_EQ(IntOf("i", "2147483647"), INT32_MAX);
    EXPECT_EQ(IntOf("i", "-2147483648"), INT32_MIN);
    EXPECT_EQ(IntOf("ai", "77"), 77);
    EXPECT_EQ(IntOf("big", "9223372036854775807"), INT64_MAX);
    EXPECT_EQ(IntOf("big", "-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(IntOf("big", "$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(IntOf("big", "$100000000"), 4294967296LL);
}

TEST_F(ConvertTest, TextThatIsNoIntegerLeavesZero) {
    for (const char* bad : {"12a", "1.5", "$", "-", "$FG", "1 2", "2147483648", "-2147483649",
                            "$100000000", "abc"}) {
        F("i").SetInt(buf, 99);  // the destination is cleared first
        EXPECT_EQ(IntOf("i", bad), 0) << bad;
    }
    EXPECT_EQ(IntOf("big", "9223372036854775808"), 0);
    EXPECT_EQ(IntOf("big", "$10000000000000000"), 0);
}

TEST_F(ConvertTest, SmallIntKeepsTheLowSixteenBits) {
    EXPECT_EQ(IntOf("si", "1234"), 1234);
    EXPECT_EQ(IntOf("si", "-1234"), -1234);
    EXPECT_EQ(IntOf("si", "65535"), -1);
    EXPECT_EQ(IntOf("si", "70000"), 70000 - 65536);
    EXPECT_EQ(IntOf("si", "$1FFFF"), -1);
    EXPECT_EQ(IntOf("si", "5000000000"), 0);  // not a 32-bit integer at all
}

TEST_F(ConvertTest, IntegersToDecimalText) {
    EXPECT_EQ(RoundTrip("si", "-32768"), "-32768");
    EXPECT_EQ(RoundTrip("i", "$10"), "16");
    EXPECT_EQ(RoundTrip("big", "-9223372036854775808"), "-9223372036854775808");
    EXPECT_EQ(RoundTrip("ai", "5"), "5");
    EXPECT_EQ(RoundTrip("i", ""), "0");
}

TEST_F(ConvertTest, BooleanWords) {
    for (const char* yes : {"TRUE", "true", "Yes", "yES", "T", "t", "1", "\xC4\xC0",
                            "\xD0\x94\xD0\x90", "\xD0\xB4\xD0\xB0"}) {
        VolgaTextToValue(F("b"), yes, buf, fmt);
        EXPECT_TRUE(F("b").GetBool(buf)) << yes;
        EXPECT_EQ(VolgaValueToText(F("b"), buf, fmt), "Yes");
    }
    for (const char* no : {"FALSE", "No", "0", "2", "Y", "yes ", " true", "\xC4", "tru"}) {
        F("b").SetBool(buf, true);
        VolgaTextToValue(F("b"), no, buf, fmt);
        EXPECT_FALSE(F("b").GetBool(buf)) << no;
        EXPECT_EQ(VolgaValueToText(F("b"), buf, fmt), "No");
    }
}

TEST_F(ConvertTest, FloatsUseTheDecimalSeparator) {
    EXPECT_EQ(RoundTrip("f", "1.5"), "1.5");
    EXPECT_EQ(RoundTrip("cur", "-1234.5678"), "-1234.5678");
    EXPECT_EQ(RoundTrip("f", "0.1234567"), "0.123457");
    EXPECT_EQ(RoundTrip("f", "abc"), "0");
    EXPECT_EQ(RoundTrip("f", "1,5"), "0");
    fmt.DecimalSeparator = ',';
    EXPECT_EQ(RoundTrip("f", "1,5"), "1,5");
    EXPECT_EQ(RoundTrip("cur", "1.5"), "0");
}

TEST_F(ConvertTest, DatesAndTimes) {
    TDateTime d;
    ASSERT_TRUE(TVolgaFormatSettings::EncodeDate(2024, 2, 29, d));
    EXPECT_EQ(IntOf("d", "2024-02-29"), TVolgaFormatSettings::DateToDayNumber(d));
    EXPECT_EQ(RoundTrip("d", "2024-02-29"), "2024-02-29");
    EXPECT_EQ(RoundTrip("d", "2023-02-29"), "");  // invalid: 0, shown empty
    EXPECT_EQ(F("d").GetInt(buf), 0);
    F("d").SetInt(buf, -3);
    EXPECT_EQ(VolgaValueToText(F("d"), buf, fmt), "");

    EXPECT_EQ(IntOf("t", "10:30:15"), 37815000);
    EXPECT_EQ(RoundTrip("t", "10:30"), "10:30:00");
    EXPECT_EQ(RoundTrip("t", "00:00:00"), "");  // midnight is stored as 0: empty
    EXPECT_EQ(RoundTrip("t", "25:00"), "");

    fmt.ShortDateFormat = "dd.mm.yyyy";
    EXPECT_EQ(RoundTrip("d", "29.02.2024"), "29.02.2024");
}

TEST_F(ConvertTest, DateTimeStamps) {
    VolgaTextToValue(F("dt"), "2024-06-15 10:30:00", buf, fmt);
    TDateTime d;
    ASSERT_TRUE(TVolgaFormatSettings::EncodeDate(2024, 6, 15, d));
    EXPECT_EQ(F("dt").GetFloat(buf),
              TVolgaFormatSettings::DateToDayNumber(d) * 86400000.0 + 37800000);
    EXPECT_EQ(VolgaValueToText(F("dt"), buf, fmt), "2024-06-15 10:30:00");
    EXPECT_EQ(RoundTrip("dt", "2024-06-15"), "2024-06-15");
    EXPECT_EQ(RoundTrip("dt", "not a date"), "");
    EXPECT_EQ(F("dt").GetFloat(buf), 0.0);
}

TEST_F(ConvertTest, StringsAreCutToTheDeclaredBytesWithoutSplittingCharacters) {
    EXPECT_EQ(RoundTrip("short", "abcdefghijkl"), "abcdefghij");
    EXPECT_EQ(RoundTrip("short", "abc"), "abc");
    // Six two-byte characters are 12 bytes: five fit.
    EXPECT_EQ(RoundTrip("short", "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"),
              "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
    // Four three-byte euro signs are 12 bytes: three fit (9 bytes).
    EXPECT_EQ(RoundTrip("short", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"),
              "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
    std::string sixty(60, 'x');
    EXPECT_EQ(RoundTrip("long", sixty), std::string(50, 'x'));
    EXPECT_EQ(RoundTrip("long", ""), "");
}

TEST_F(ConvertTest, MemoAndBlobTypes) {
    // Memo descriptors declare no length, so a text gives an empty memo.
    F("memo").SetText(buf, "old");
    EXPECT_EQ(RoundTrip("memo", "some text"), "");
    EXPECT_EQ(RoundTrip("fmemo", "some text"), "");
    F("memo").SetText(buf, "stored memo");
    EXPECT_EQ(VolgaValueToText(F("memo"), buf, fmt), "stored memo");
    F("fmemo").SetText(buf, "{\\rtf1}");
    EXPECT_EQ(VolgaValueToText(F("fmemo"), buf, fmt), "{\\rtf1}");
    F("blob").SetText(buf, "bytes");
    EXPECT_EQ(VolgaValueToText(F("blob"), buf, fmt), "Not Found");
    VolgaTextToValue(F("blob"), "new", buf, fmt);
    EXPECT_EQ(F("blob").GetText(buf), "");
    EXPECT_EQ(RoundTrip("pic", "x"), "Not Found");
    EXPECT_EQ(F("pic").GetText(buf), "");
}
