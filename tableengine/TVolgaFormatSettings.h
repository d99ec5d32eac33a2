// The host's text forms of dates, times and numbers. One object is handed to the engine by its
// caller (the program fills it from the system locale; tests pin it).
#pragma once

#include <cstdint>
#include <string>

#include "VolgaTypes.h"

class TVolgaFormatSettings {
public:
    // Format strings use the letters d, dd, m, mm, yy, yyyy (dates) and h, hh, n, nn, s, ss, z, zzz,
    // am/pm (times); any other character is a literal separator.
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string LongTimeFormat = "hh:nn:ss";
    char DecimalSeparator = '.';

    // ISO forms (yyyy-mm-dd, hh:nn:ss, '.'): the engine's defaults and tabletool's.
    static TVolgaFormatSettings Iso();

    // Text forms. A date (day number of the Date encoding) of 0 or less gives "" in
    // FormatDateNumber; FormatTimeMs formats milliseconds since midnight.
    std::string FormatDate(TDateTime value) const;
    std::string FormatTime(TDateTime value) const;
    std::string FormatDateTime(TDateTime value) const;  // date, a space, time; the time is
                                                        // omitted at midnight
    std::string FormatFloat(double value) const;         // "0.######"
    std::string FormatDateNumber(int32_t day) const;     // a Date field's stored day number
    std::string FormatTimeMs(int32_t ms) const;          // a Time field's stored milliseconds

    // Parsing; false when the text is not valid in the format.
    bool ParseDate(const std::string& text, TDateTime& out) const;
    bool ParseTime(const std::string& text, TDateTime& out) const;
    bool ParseDateTime(const std::string& text, TDateTime& out) const;
    bool ParseFloat(const std::string& text, double& out) const;

    // Conversions between TDateTime and the stored encodings of the table file.
    // A negative value counts whole days back from 30 December 1899 and its fraction is the
    // time of that day (-1.25 is 29 December 1899, 06:00), so the day is the value rounded to
    // milliseconds and truncated toward zero.
    static int32_t DateToDayNumber(TDateTime value);   // trunc(value) + 693594
    static int32_t TimeToMs(TDateTime value);          // milliseconds of the day, rounded
    static double DateTimeToStamp(TDateTime value);    // day number * 86400000 + ms
    static TDateTime DayNumberToDate(int32_t day);
    static TDateTime MsToTime(int32_t ms);
    static TDateTime StampToDateTime(double stamp);

    // Calendar helpers.
    static bool EncodeDate(int year, int month, int day, TDateTime& out);
    static void DecodeDate(TDateTime value, int& year, int& month, int& day);
    static bool EncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
    static void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
};
