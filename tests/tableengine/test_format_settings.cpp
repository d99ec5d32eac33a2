// Calendar arithmetic, the stored date/time encodings and the text forms of dates, times and
// numbers.
#include <gtest/gtest.h>

#include "TVolgaFormatSettings.h"

namespace {

using FS = TVolgaFormatSettings;

TDateTime Date(int y, int m, int d) {
    TDateTime v = 0;
    EXPECT_TRUE(FS::EncodeDate(y, m, d, v)) << y << "-" << m << "-" << d;
    return v;
}

TDateTime Time(int h, int n, int s, int ms = 0) {
    TDateTime v = 0;
    EXPECT_TRUE(FS::EncodeTime(h, n, s, ms, v));
    return v;
}

FS WithFormats(const std::string& date, const std::string& time, char sep = '.') {
    FS f;
    f.ShortDateFormat = date;
    f.LongTimeFormat = time;
    f.DecimalSeparator = sep;
    return f;
}

// Parses with ParseDate and returns the day number of the Date encoding, or -1 when refused.
int32_t DayOf(const FS& f, const std::string& text) {
    TDateTime v = 0;
    if (!f.ParseDate(text, v)) return -1;
    return FS::DateToDayNumber(v);
}

int32_t MsOf(const FS& f, const std::string& text) {
    TDateTime v = 0;
    if (!f.ParseTime(text, v)) return -1;
    return FS::TimeToMs(v);
}

}  // namespace

TEST(Calendar, DayNumbersOfKnownDates) {
    EXPECT_EQ(FS::DateToDayNumber(Date(1899, 12, 30)), 693594);
    EXPECT_EQ(Date(1899, 12, 30), 0.0);
    EXPECT_EQ(FS::DateToDayNumber(Date(1, 1, 1)), 1);
    EXPECT_EQ(Date(1970, 1, 1), 25569.0);
    EXPECT_EQ(Date(2000, 3, 1) - Date(2000, 2, 28), 2.0);  // 2000 is a leap year
    EXPECT_EQ(Date(1900, 3, 1) - Date(1900, 2, 28), 1.0);  // 1900 is not
    EXPECT_EQ(FS::DayNumberToDate(693594), 0.0);
}

TEST(Calendar, EncodeRejectsInvalidDates) {
    TDateTime v;
    EXPECT_TRUE(FS::EncodeDate(2024, 2, 29, v));
    EXPECT_FALSE(FS::EncodeDate(2023, 2, 29, v));
    EXPECT_FALSE(FS::EncodeDate(1900, 2, 29, v));
    EXPECT_TRUE(FS::EncodeDate(2000, 2, 29, v));
    EXPECT_FALSE(FS::EncodeDate(2024, 4, 31, v));
    EXPECT_FALSE(FS::EncodeDate(2024, 13, 1, v));
    EXPECT_FALSE(FS::EncodeDate(2024, 0, 1, v));
    EXPECT_FALSE(FS::EncodeDate(2024, 1, 0, v));
    EXPECT_FALSE(FS::EncodeDate(0, 12, 31, v));
    EXPECT_TRUE(FS::EncodeDate(9999, 12, 31, v));
    EXPECT_FALSE(FS::EncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(FS::EncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(FS::EncodeTime(0, 60, 0, 0, v));
    EXPECT_FALSE(FS::EncodeTime(0, 0, 60, 0, v));
    EXPECT_FALSE(FS::EncodeTime(0, 0, 0, 1000, v));
    EXPECT_FALSE(FS::EncodeTime(-1, 0, 0, 0, v));
}

// Every day from 1 January 1 to 31 December 9999 decodes to the day after the previous one and
// encodes back to its own number.
TEST(Calendar, DecodeIsTheInverseOfEncodeOverTheWholeRange) {
    int py = 1, pm = 1, pd = 1;
    for (int32_t n = 2; n <= 3652059; ++n) {
        int y, m, d;
        FS::DecodeDate(FS::DayNumberToDate(n), y, m, d);
        bool nextDay = (y == py && m == pm && d == pd + 1) ||
                       (y == py && m == pm + 1 && d == 1) || (y == py + 1 && m == 1 && d == 1);
        ASSERT_TRUE(nextDay) << n << ": " << y << "-" << m << "-" << d << " after " << py << "-"
                             << pm << "-" << pd;
        if (n % 997 == 0) {
            TDateTime v;
            ASSERT_TRUE(FS::EncodeDate(y, m, d, v));
            ASSERT_EQ(FS::DateToDayNumber(v), n);
        }
        py = y;
        pm = m;
        pd = d;
    }
    EXPECT_EQ(py, 9999);
    EXPECT_EQ(pm, 12);
    EXPECT_EQ(pd, 31);
    int y, m, d;
    FS::DecodeDate(FS::DayNumberToDate(0), y, m, d);  // before year 1: no date
    EXPECT_EQ(y + m + d, 0);
}

TEST(Calendar, NegativeValuesCountBackWithAPositiveTimeOfDay) {
    // -1.25 is 29 December 1899, 06:00; -0.25 is 30 December 1899, 06:00.
    int y, m, d, h, n, s, z;
    FS::DecodeDate(-1.25, y, m, d);
    FS::DecodeTime(-1.25, h, n, s, z);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    FS::DecodeDate(-0.25, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
    EXPECT_EQ(FS::DateToDayNumber(-1.25), 693593);
    EXPECT_EQ(FS::TimeToMs(-1.25), 6 * 3600000);
    EXPECT_EQ(FS::DateTimeToStamp(-1.25), 693593.0 * 86400000 + 6 * 3600000);
    EXPECT_EQ(FS::StampToDateTime(693593.0 * 86400000 + 6 * 3600000), -1.25);
}

TEST(Calendar, ValuesRoundToTheMillisecond) {
    // Just under midnight rounds up to the next day rather than to 23:59:59.999 plus change.
    TDateTime almost = 1.0 - 1e-10;
    EXPECT_EQ(FS::DateToDayNumber(almost), 693595);
    EXPECT_EQ(FS::TimeToMs(almost), 0);
    TDateTime t = Time(13, 5, 9, 250);
    EXPECT_EQ(FS::TimeToMs(t), ((13 * 60 + 5) * 60 + 9) * 1000 + 250);
    EXPECT_EQ(FS::MsToTime(43200000), 0.5);
    TDateTime dt = Date(2024, 6, 15) + t;
    double stamp = FS::DateTimeToStamp(dt);
    EXPECT_EQ(stamp, static_cast<double>(FS::DateToDayNumber(dt)) * 86400000 + FS::TimeToMs(t));
    EXPECT_NEAR(FS::StampToDateTime(stamp), dt, 1e-9);
}

TEST(FormatFloat, SixDecimalsAtMostNoTrailingZerosNoExponent) {
    FS f;
    EXPECT_EQ(f.FormatFloat(0), "0");
    EXPECT_EQ(f.FormatFloat(-0.0), "0");
    EXPECT_EQ(f.FormatFloat(1.5), "1.5");
    EXPECT_EQ(f.FormatFloat(-2.25), "-2.25");
    EXPECT_EQ(f.FormatFloat(100), "100");
    EXPECT_EQ(f.FormatFloat(1.0 / 3), "0.333333");
    EXPECT_EQ(f.FormatFloat(2.0 / 3), "0.666667");
    EXPECT_EQ(f.FormatFloat(0.1 + 0.2), "0.3");
    EXPECT_EQ(f.FormatFloat(1.0000005), "1.000001");  // half rounds away from zero
    EXPECT_EQ(f.FormatFloat(-1.0000005), "-1.000001");
    EXPECT_EQ(f.FormatFloat(0.0000004), "0");
    EXPECT_EQ(f.FormatFloat(-0.0000004), "0");  // no "-0"
    EXPECT_EQ(f.FormatFloat(0.0000005), "0.000001");
    EXPECT_EQ(f.FormatFloat(999999.9999999), "1000000");
    EXPECT_EQ(f.FormatFloat(1e20), "100000000000000000000");
    EXPECT_EQ(f.FormatFloat(123456.789), "123456.789");
    f.DecimalSeparator = ',';
    EXPECT_EQ(f.FormatFloat(1.5), "1,5");
}

TEST(ParseFloat, DecimalSeparatorSignAndExponent) {
    FS f;
    double v = 0;
    EXPECT_TRUE(f.ParseFloat("1.5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(f.ParseFloat(" -2.25 ", v));
    EXPECT_EQ(v, -2.25);
    EXPECT_TRUE(f.ParseFloat("+3", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(f.ParseFloat("1e3", v));
    EXPECT_EQ(v, 1000);
    EXPECT_TRUE(f.ParseFloat(".5", v));
    EXPECT_EQ(v, 0.5);
    for (const char* bad : {"", "abc", "1.5x", ".", "1..2", "1,5", "1e", "--1", "1e999", "1 2"})
        EXPECT_FALSE(f.ParseFloat(bad, v)) << bad;
    f.DecimalSeparator = ',';
    EXPECT_TRUE(f.ParseFloat("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(f.ParseFloat("1.5", v));
}

TEST(FormatDate, FormatLetters) {
    TDateTime d = Date(2024, 6, 5);  // a Wednesday
    EXPECT_EQ(FS().FormatDate(d), "2024-06-05");
    EXPECT_EQ(WithFormats("d.m.yy", "").FormatDate(d), "5.6.24");
    EXPECT_EQ(WithFormats("dd/mm/yyyy", "").FormatDate(d), "05/06/2024");
    EXPECT_EQ(WithFormats("mmm d, yyyy", "").FormatDate(d), "Jun 5, 2024");
    EXPECT_EQ(WithFormats("dddd, d mmmm yyyy", "").FormatDate(d), "Wednesday, 5 June 2024");
    EXPECT_EQ(WithFormats("yyyy'y'mm", "").FormatDate(d), "2024y06");
    EXPECT_EQ(FS().FormatDate(Date(5, 1, 2)), "0005-01-02");
    EXPECT_EQ(FS().FormatDateNumber(FS::DateToDayNumber(d)), "2024-06-05");
    EXPECT_EQ(FS().FormatDateNumber(0), "");
    EXPECT_EQ(FS().FormatDateNumber(-5), "");
    EXPECT_EQ(FS().FormatDateNumber(1), "0001-01-01");
}

TEST(FormatTime, FormatLettersAndTwelveHourClock) {
    TDateTime t = Time(13, 5, 9, 42);
    EXPECT_EQ(FS().FormatTime(t), "13:05:09");
    EXPECT_EQ(WithFormats("", "h:n:s").FormatTime(t), "13:5:9");
    EXPECT_EQ(WithFormats("", "hh:nn:ss.zzz").FormatTime(t), "13:05:09.042");
    // "m" right after an hour field is minutes.
    EXPECT_EQ(WithFormats("", "h:mm:ss am/pm").FormatTime(t), "1:05:09 pm");
    EXPECT_EQ(WithFormats("", "hh:mm AM/PM").FormatTime(Time(0, 30, 0)), "12:30 AM");
    EXPECT_EQ(WithFormats("", "h:mm a/p").FormatTime(Time(12, 0, 0)), "12:00 p");
    EXPECT_EQ(FS().FormatTimeMs(0), "00:00:00");
    EXPECT_EQ(FS().FormatTimeMs(86399999), "23:59:59");
}

TEST(FormatDateTime, TimeLeftOutAtMidnight) {
    FS f;
    EXPECT_EQ(f.FormatDateTime(Date(2024, 6, 15)), "2024-06-15");
    EXPECT_EQ(f.FormatDateTime(Date(2024, 6, 15) + Time(10, 30, 0)), "2024-06-15 10:30:00");
    EXPECT_EQ(f.FormatDateTime(-1.25), "1899-12-29 06:00:00");
}

TEST(ParseDate, FieldsInTheFormatsOrderWithAnySeparator) {
    FS iso;
    int32_t d20240615 = FS::DateToDayNumber(Date(2024, 6, 15));
    EXPECT_EQ(DayOf(iso, "2024-06-15"), d20240615);
    EXPECT_EQ(DayOf(iso, "  2024-6-15 "), d20240615);
    EXPECT_EQ(DayOf(iso, "2024/06/15"), d20240615);
    FS dmy = WithFormats("dd.mm.yyyy", "hh:nn:ss");
    EXPECT_EQ(DayOf(dmy, "15.06.2024"), d20240615);
    EXPECT_EQ(DayOf(dmy, "15/6/2024"), d20240615);
    EXPECT_EQ(DayOf(dmy, "15.06.24"), d20240615);  // two-digit year
    FS mdy = WithFormats("m/d/yyyy", "h:nn:ss");
    EXPECT_EQ(DayOf(mdy, "06/15/2024"), d20240615);
    EXPECT_EQ(DayOf(mdy, "15/06/2024"), -1);  // month 15
    FS compact = WithFormats("yyyymmdd", "hhnnss");
    EXPECT_EQ(DayOf(compact, "20240615"), d20240615);
    EXPECT_EQ(DayOf(compact, "2024615"), -1);
    FS named = WithFormats("d mmm yyyy", "hh:nn");
    EXPECT_EQ(DayOf(named, "15 jun 2024"), d20240615);
    EXPECT_EQ(DayOf(named, "15 June 2024"), d20240615);
}

TEST(ParseDate, RefusesInvalidTexts) {
    FS iso;
    EXPECT_NE(DayOf(iso, "2024-02-29"), -1);
    EXPECT_NE(DayOf(iso, "2000-02-29"), -1);
    for (const char* bad : {"2023-02-29", "1900-02-29", "2024-04-31", "2024-13-01", "2024-00-10",
                            "2024-06-00", "0000-01-01", "2024-06", "2024-06-15x", "20240615",
                            "2024-06-15 10:30", "", "   ", "abc", "2024-006-15", "2024--"})
        EXPECT_EQ(DayOf(iso, bad), -1) << bad;
}

TEST(ParseTime, WithOrWithoutSecondsAndMilliseconds) {
    FS f;
    EXPECT_EQ(MsOf(f, "10:30"), 37800000);
    EXPECT_EQ(MsOf(f, "10:30:15"), 37815000);
    EXPECT_EQ(MsOf(f, "10:30:15.250"), 37815250);
    EXPECT_EQ(MsOf(f, "10:30:15.5"), 37815500);
    EXPECT_EQ(MsOf(f, "0:0:0"), 0);
    EXPECT_EQ(MsOf(f, "23:59:59.999"), 86399999);
    EXPECT_EQ(MsOf(f, "10:30 pm"), 81000000);
    EXPECT_EQ(MsOf(f, "12:15 AM"), 900000);
    EXPECT_EQ(MsOf(f, "12:15 PM"), 44100000);
    for (const char* bad : {"24:00", "10:60", "10:30:60", "10", "10:", "10:30:", "13:00 pm",
                            "10:30 xm", "10:30:15.", "10:30:15.1234", "123:00", "", "ab:cd"})
        EXPECT_EQ(MsOf(f, bad), -1) << bad;
}

TEST(ParseDateTime, DateOptionallyFollowedByTime) {
    FS f;
    TDateTime v = 0;
    ASSERT_TRUE(f.ParseDateTime("2024-06-15 10:30:00", v));
    EXPECT_EQ(FS::DateTimeToStamp(v),
              FS::DateToDayNumber(Date(2024, 6, 15)) * 86400000.0 + 37800000);
    ASSERT_TRUE(f.ParseDateTime("2024-06-15", v));
    EXPECT_EQ(v, Date(2024, 6, 15));
    ASSERT_TRUE(f.ParseDateTime("1899-12-29 06:00", v));
    EXPECT_EQ(v, -1.25);
    for (const char* bad :
         {"2024-06-1510:30", "2024-06-15 25:00", "10:30", "2024-06-15 10:30 x", "2024-06-15,10:30"})
        EXPECT_FALSE(f.ParseDateTime(bad, v)) << bad;
}

TEST(ParseDateTime, ReadsBackWhatFormatWrites) {
    const FS formats[] = {FS(), WithFormats("dd.mm.yyyy", "hh:nn:ss.zzz"),
                          WithFormats("m/d/yyyy", "h:mm:ss AM/PM"),
                          WithFormats("d mmmm yyyy", "hh:nn:ss")};
    for (const FS& f : formats) {
        for (int32_t day = 1; day <= 3652059; day += 7919) {
            for (int32_t ms : {0, 1000, 43199000, 43200000, 86399000}) {
                double stamp = day * 86400000.0 + ms;
                std::string text = f.FormatDateTime(FS::StampToDateTime(stamp));
                TDateTime back = 0;
                ASSERT_TRUE(f.ParseDateTime(text, back)) << f.ShortDateFormat << " " << text;
                // Two-digit years are not written by these formats, so nothing is lost.
                ASSERT_EQ(FS::DateTimeToStamp(back), stamp) << text;
            }
        }
    }
}
