#include "TVolgaFormatSettings.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

constexpr int64_t kMsPerDay = kMSecsPerDay;

// ---------------------------------------------------------------------------------------------
// Calendar arithmetic over the proleptic Gregorian calendar. Day numbers are those of the Date
// encoding: 1 January of year 1 is day 1.

constexpr bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int DaysInMonth(int y, int m) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeapYear(y)) ? 29 : kDays[m - 1];
}

constexpr int64_t DayNumberOf(int y, int m, int d) {
    constexpr int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t p = y - 1;
    int64_t n = p * 365 + p / 4 - p / 100 + p / 400 + kBefore[m - 1] + d;
    if (m > 2 && IsLeapYear(y)) ++n;
    return n;
}

constexpr int64_t kMaxDayNumber = DayNumberOf(9999, 12, 31);
static_assert(DayNumberOf(1899, 12, 30) == kVolgaDateDelta);

bool ValidDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

// Inverse of DayNumberOf for 1 <= n <= kMaxDayNumber.
void CivilOf(int64_t n, int& y, int& m, int& d) {
    int64_t z = n - 1;  // days since 1 January of year 1
    int64_t q400 = z / 146097;
    z %= 146097;
    int64_t q100 = z / 36524;
    if (q100 == 4) q100 = 3;  // the last day of a 400-year cycle
    z -= q100 * 36524;
    int64_t q4 = z / 1461;
    z %= 1461;
    int64_t q1 = z / 365;
    if (q1 == 4) q1 = 3;  // the last day of a leap year
    z -= q1 * 365;
    y = static_cast<int>(q400 * 400 + q100 * 100 + q4 * 4 + q1 + 1);
    m = 1;
    while (z >= DaysInMonth(y, m)) {
        z -= DaysInMonth(y, m);
        ++m;
    }
    d = static_cast<int>(z) + 1;
}

// A TDateTime split into the day number and the milliseconds of that day. Negative values keep
// the time as the positive fraction of a day before 30 December 1899.
struct TimeStamp {
    int64_t Day = 0;
    int32_t Ms = 0;
};

TimeStamp ToTimeStamp(TDateTime value) {
    TimeStamp ts;
    // Beyond the representable calendar the value is meaningless; treat it as no date.
    if (!std::isfinite(value) || std::fabs(value) > 4.0e6) return ts;
    int64_t total = std::llround(value * static_cast<double>(kMsPerDay));
    ts.Day = total / kMsPerDay + kVolgaDateDelta;
    ts.Ms = static_cast<int32_t>(std::llabs(total) % kMsPerDay);
    return ts;
}

TDateTime ComposeDateTime(double days, int64_t ms) {
    double frac = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return days < 0 ? days - frac : days + frac;
}

int CurrentYear() {
    using namespace std::chrono;
    year_month_day ymd{floor<days>(system_clock::now())};
    return static_cast<int>(ymd.year());
}

// Two-digit years fall within the 50 years before and after the current year.
int ExpandTwoDigitYear(int y) {
    int pivot = CurrentYear() - 50;
    y += pivot / 100 * 100;
    if (y < pivot) y += 100;
    return y;
}

const char* const kMonthShort[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthLong[12] = {"January",   "February", "March",    "April",
                                    "May",       "June",     "July",     "August",
                                    "September", "October",  "November", "December"};
const char* const kDayShort[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kDayLong[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool StartsWithCI(std::string_view s, size_t pos, std::string_view word) {
    if (s.size() - pos < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(s[pos + i]) != Lower(word[i])) return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Format strings, split into elements.

enum class FK {
    Literal,
    Day,
    DayName,
    Month,
    MonthName,
    Year2,
    Year4,
    Hour,
    Minute,
    Second,
    MSec,
    AmPm
};

struct FElem {
    FK Kind = FK::Literal;
    int Width = 1;     // 1 or 2 (3 for zzz); for names 3 = short, 4 = long
    std::string Text;  // literal text; for AmPm the two markers, "am/pm" or "a/p" as written
};

bool IsNumeric(FK k) {
    return k == FK::Day || k == FK::Month || k == FK::Year2 || k == FK::Year4 || k == FK::Hour ||
           k == FK::Minute || k == FK::Second || k == FK::MSec;
}

std::vector<FElem> SplitFormat(std::string_view f) {
    std::vector<FElem> out;
    auto literal = [&out](std::string_view s) {
        if (!out.empty() && out.back().Kind == FK::Literal) {
            out.back().Text += s;
        } else {
            FElem e;
            e.Text = std::string(s);
            out.push_back(std::move(e));
        }
    };
    char last = 0;  // the last field letter, so that "m" after "h" means minutes
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        char lc = Lower(c);
        if (c == '\'' || c == '"') {
            size_t close = f.find(c, i + 1);
            if (close == std::string_view::npos) close = f.size();
            literal(f.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (lc == 'a') {
            if (StartsWithCI(f, i, "am/pm") || StartsWithCI(f, i, "a/p")) {
                size_t len = StartsWithCI(f, i, "am/pm") ? 5 : 3;
                FElem e;
                e.Kind = FK::AmPm;
                e.Text = std::string(f.substr(i, len));
                out.push_back(std::move(e));
                i += len;
                continue;
            }
            literal(f.substr(i, 1));
            ++i;
            continue;
        }
        if (lc != 'd' && lc != 'm' && lc != 'y' && lc != 'h' && lc != 'n' && lc != 's' &&
            lc != 'z') {
            literal(f.substr(i, 1));
            ++i;
            continue;
        }
        size_t k = 1;
        while (i + k < f.size() && Lower(f[i + k]) == lc) ++k;
        i += k;
        FElem e;
        switch (lc) {
            case 'd':
                if (k <= 2) {
                    e.Kind = FK::Day;
                    e.Width = static_cast<int>(k);
                } else {
                    e.Kind = FK::DayName;
                    e.Width = k == 3 ? 3 : 4;
                }
                break;
            case 'm':
                if (last == 'h' && k <= 2) {
                    e.Kind = FK::Minute;
                    e.Width = static_cast<int>(k);
                    lc = 'n';
                } else if (k <= 2) {
                    e.Kind = FK::Month;
                    e.Width = static_cast<int>(k);
                } else {
                    e.Kind = FK::MonthName;
                    e.Width = k == 3 ? 3 : 4;
                }
                break;
            case 'y':
                e.Kind = k <= 2 ? FK::Year2 : FK::Year4;
                break;
            case 'h':
                e.Kind = FK::Hour;
                e.Width = k >= 2 ? 2 : 1;
                break;
            case 'n':
                e.Kind = FK::Minute;
                e.Width = k >= 2 ? 2 : 1;
                break;
            case 's':
                e.Kind = FK::Second;
                e.Width = k >= 2 ? 2 : 1;
                break;
            default:
                e.Kind = FK::MSec;
                e.Width = k >= 3 ? 3 : 1;
                break;
        }
        last = lc;
        out.push_back(std::move(e));
    }
    return out;
}

void AppendNumber(std::string& out, int64_t v, int width) {
    std::string digits = std::to_string(v);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

// Formats one format string with the given calendar parts (dow: 0 = Sunday).
// The elements of a format string. A long list of values is formatted with the same one or two
// formats (a date and a time, say): the last two are kept per thread.
const std::vector<FElem>& SplitFormatCached(std::string_view format) {
    struct Slot {
        std::string Format;
        std::vector<FElem> Elems;
        bool Used = false;
    };
    static thread_local Slot slots[2];
    static thread_local int next = 0;
    for (Slot& slot : slots)
        if (slot.Used && slot.Format == format) return slot.Elems;
    Slot& slot = slots[next];
    next = 1 - next;
    slot.Format = std::string(format);
    slot.Elems = SplitFormat(format);
    slot.Used = true;
    return slot.Elems;
}

std::string FormatWith(std::string_view format, int y, int mo, int d, int dow, int32_t ms) {
    const std::vector<FElem>& elems = SplitFormatCached(format);
    bool twelveHour = false;
    for (const FElem& e : elems)
        if (e.Kind == FK::AmPm) twelveHour = true;
    int h = ms / 3600000, n = ms / 60000 % 60, s = ms / 1000 % 60, z = ms % 1000;
    std::string out;
    for (const FElem& e : elems) {
        switch (e.Kind) {
            case FK::Literal:
                out += e.Text;
                break;
            case FK::Day:
                AppendNumber(out, d, e.Width);
                break;
            case FK::DayName:
                out += (e.Width == 3 ? kDayShort : kDayLong)[dow];
                break;
            case FK::Month:
                AppendNumber(out, mo, e.Width);
                break;
            case FK::MonthName:
                out += (e.Width == 3 ? kMonthShort : kMonthLong)[mo - 1];
                break;
            case FK::Year2:
                AppendNumber(out, y % 100, 2);
                break;
            case FK::Year4:
                AppendNumber(out, y, 4);
                break;
            case FK::Hour: {
                int hh = h;
                if (twelveHour) {
                    hh = h % 12;
                    if (hh == 0) hh = 12;
                }
                AppendNumber(out, hh, e.Width);
                break;
            }
            case FK::Minute:
                AppendNumber(out, n, e.Width);
                break;
            case FK::Second:
                AppendNumber(out, s, e.Width);
                break;
            case FK::MSec:
                AppendNumber(out, z, e.Width);
                break;
            case FK::AmPm: {
                // "am/pm" gives the first or the second marker, in the letter case written.
                size_t slash = e.Text.find('/');
                out += h < 12 ? e.Text.substr(0, slash) : e.Text.substr(slash + 1);
                break;
            }
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Parsing helpers.

// Reads 1..maxDigits digits (exactly `exact` when non-zero); fails when more digits follow.
bool ReadNumber(std::string_view s, size_t& pos, int maxDigits, int exact, int& value, int& count) {
    size_t start = pos;
    int limit = exact ? exact : maxDigits;
    value = 0;
    while (pos < s.size() && IsDigit(s[pos]) && static_cast<int>(pos - start) < limit) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    count = static_cast<int>(pos - start);
    if (count == 0 || (exact && count != exact)) return false;
    if (!exact && pos < s.size() && IsDigit(s[pos])) return false;
    return true;
}

bool ReadMonthName(std::string_view s, size_t& pos, int& month) {
    for (int i = 0; i < 12; ++i) {
        if (StartsWithCI(s, pos, kMonthLong[i])) {
            pos += std::string_view(kMonthLong[i]).size();
            month = i + 1;
            return true;
        }
    }
    for (int i = 0; i < 12; ++i) {
        if (StartsWithCI(s, pos, kMonthShort[i])) {
            pos += 3;
            month = i + 1;
            return true;
        }
    }
    return false;
}

// Reads the date part of `s` from `pos` in the order of `format`. Between two fields the text
// may use any separator (one character or more); a literal before the first or after the last
// field is optional. Fields written next to each other in the format take their full width.
bool ParseDatePart(std::string_view format, std::string_view s, size_t& pos, int64_t& dayNumber) {
    std::vector<FElem> all = SplitFormat(format);
    std::vector<FElem> elems;
    for (FElem& e : all) {
        if (e.Kind == FK::Literal || e.Kind == FK::Day || e.Kind == FK::DayName ||
            e.Kind == FK::Month || e.Kind == FK::MonthName || e.Kind == FK::Year2 ||
            e.Kind == FK::Year4)
            elems.push_back(std::move(e));
    }
    int y = -1, m = -1, d = -1;
    int yearDigits = 0;
    bool seenField = false;
    for (size_t i = 0; i < elems.size(); ++i) {
        const FElem& e = elems[i];
        const FElem* next = i + 1 < elems.size() ? &elems[i + 1] : nullptr;
        bool fieldFollows = false;
        for (size_t j = i + 1; j < elems.size(); ++j)
            if (elems[j].Kind != FK::Literal) fieldFollows = true;
        if (e.Kind == FK::Literal) {
            if (!seenField || !fieldFollows) {
                // Leading or trailing literal: its characters may be present, in order.
                for (char c : e.Text)
                    if (pos < s.size() && Lower(s[pos]) == Lower(c)) ++pos;
                continue;
            }
            bool nameFollows = next && (next->Kind == FK::MonthName || next->Kind == FK::DayName);
            bool letters = false;
            for (char c : e.Text)
                if (IsAsciiLetter(c)) letters = true;
            size_t start = pos;
            while (pos < s.size() && !IsDigit(s[pos]) &&
                   (!IsAsciiLetter(s[pos]) || (letters && !nameFollows)))
                ++pos;
            if (pos == start) return false;
            continue;
        }
        seenField = true;
        int exact = 0;
        if (next && IsNumeric(next->Kind) && IsNumeric(e.Kind))
            exact = (e.Kind == FK::Year4) ? 4 : 2;
        int value = 0, count = 0;
        switch (e.Kind) {
            case FK::Day:
                if (!ReadNumber(s, pos, 2, exact, value, count)) return false;
                d = value;
                break;
            case FK::Month:
                if (!ReadNumber(s, pos, 2, exact, value, count)) return false;
                m = value;
                break;
            case FK::MonthName:
                if (pos < s.size() && IsDigit(s[pos])) {
                    if (!ReadNumber(s, pos, 2, 0, value, count)) return false;
                    m = value;
                } else if (!ReadMonthName(s, pos, m)) {
                    return false;
                }
                break;
            case FK::Year2:
            case FK::Year4:
                if (!ReadNumber(s, pos, 4, exact, value, count)) return false;
                y = value;
                yearDigits = count;
                break;
            case FK::DayName: {
                size_t start = pos;
                while (pos < s.size() && IsAsciiLetter(s[pos])) ++pos;
                if (pos == start) return false;
                break;
            }
            default:
                break;
        }
    }
    // A year typed with one or two digits is a two-digit year, whatever the format says.
    if (y < 0)
        y = CurrentYear();
    else if (yearDigits <= 2)
        y = ExpandTwoDigitYear(y);
    if (m < 0) m = 1;
    if (d < 0) d = 1;
    if (!ValidDate(y, m, d)) return false;
    dayNumber = DayNumberOf(y, m, d);
    return true;
}

// Reads a time: hours, minutes, optionally seconds and a fraction of a second, optionally an
// AM/PM marker. Fields are separated by ":" or "." or a separator of the time format.
bool ParseTimePart(std::string_view format, char decimalSep, std::string_view s, size_t& pos,
                   int32_t& ms) {
    std::string formatSeps;
    for (const FElem& e : SplitFormat(format))
        if (e.Kind == FK::Literal) formatSeps += e.Text;
    auto isSep = [&](char c) {
        if (c == ':' || c == '.') return true;
        if (IsBlank(c) || IsDigit(c) || IsAsciiLetter(c)) return false;
        return formatSeps.find(c) != std::string::npos;
    };
    int h = 0, n = 0, sec = 0, frac = 0, count = 0;
    if (!ReadNumber(s, pos, 2, 0, h, count)) return false;
    if (pos >= s.size() || !isSep(s[pos])) return false;
    ++pos;
    if (!ReadNumber(s, pos, 2, 0, n, count)) return false;
    if (pos + 1 < s.size() && isSep(s[pos]) && IsDigit(s[pos + 1])) {
        ++pos;
        if (!ReadNumber(s, pos, 2, 0, sec, count)) return false;
        if (pos + 1 < s.size() && (s[pos] == '.' || s[pos] == ',' || s[pos] == decimalSep) &&
            IsDigit(s[pos + 1])) {
            ++pos;
            if (!ReadNumber(s, pos, 3, 0, frac, count)) return false;
            while (count < 3) {
                frac *= 10;
                ++count;
            }
        }
    }
    // An optional AM/PM marker, after optional blanks.
    size_t p = pos;
    while (p < s.size() && IsBlank(s[p])) ++p;
    int half = -1;  // 0 am, 1 pm
    if (StartsWithCI(s, p, "am") || StartsWithCI(s, p, "pm")) {
        half = Lower(s[p]) == 'p';
        p += 2;
    } else if (StartsWithCI(s, p, "a") || StartsWithCI(s, p, "p")) {
        half = Lower(s[p]) == 'p';
        p += 1;
    }
    if (half >= 0) {
        if (p < s.size() && IsAsciiLetter(s[p])) return false;
        if (h > 12) return false;
        if (h == 12) h = 0;
        if (half == 1) h += 12;
        pos = p;
    }
    if (h > 23 || n > 59 || sec > 59) return false;
    ms = ((h * 60 + n) * 60 + sec) * 1000 + frac;
    return true;
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

}  // namespace

TVolgaFormatSettings TVolgaFormatSettings::Iso() {
    return TVolgaFormatSettings();
}

// ---------------------------------------------------------------------------------------------
// Text forms.

std::string TVolgaFormatSettings::FormatDateNumber(int32_t day) const {
    if (day < 1 || day > kMaxDayNumber) return std::string();
    int y, m, d;
    CivilOf(day, y, m, d);
    return FormatWith(ShortDateFormat, y, m, d, day % 7, 0);
}

std::string TVolgaFormatSettings::FormatTimeMs(int32_t ms) const {
    int64_t v = ms % kMsPerDay;
    if (v < 0) v += kMsPerDay;
    // Date letters in a time format show 30 December 1899, a Saturday.
    return FormatWith(LongTimeFormat, 1899, 12, 30, 6, static_cast<int32_t>(v));
}

std::string TVolgaFormatSettings::FormatDate(TDateTime value) const {
    TimeStamp ts = ToTimeStamp(value);
    if (ts.Day < 1 || ts.Day > kMaxDayNumber) return std::string();
    return FormatDateNumber(static_cast<int32_t>(ts.Day));
}

std::string TVolgaFormatSettings::FormatTime(TDateTime value) const {
    return FormatTimeMs(ToTimeStamp(value).Ms);
}

std::string TVolgaFormatSettings::FormatDateTime(TDateTime value) const {
    TimeStamp ts = ToTimeStamp(value);
    std::string out = FormatDate(value);
    if (ts.Ms != 0) {
        if (!out.empty()) out += ' ';
        out += FormatTimeMs(ts.Ms);
    }
    return out;
}

std::string TVolgaFormatSettings::FormatFloat(double value) const {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    // Fifteen significant digits (what a double holds reliably), then rounded half away from
    // zero to six decimals in decimal, so that 1.0000005 shows as 1.000001.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific, 14);
    std::string_view sci(buf, res.ptr - buf);
    bool negative = false;
    size_t i = 0;
    if (sci[i] == '-') {
        negative = true;
        ++i;
    }
    std::string digits;
    for (; i < sci.size() && sci[i] != 'e'; ++i)
        if (IsDigit(sci[i])) digits.push_back(sci[i]);
    int exponent = std::atoi(std::string(sci.substr(i + 1)).c_str());

    // digits[k] has the place value 10^(exponent - k); keep the places down to 10^-6.
    int keep = exponent + 1 + 6;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
        bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[k] == '9') digits[k--] = '0';
            if (k >= 0) {
                ++digits[k];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
    }
    std::string intPart, fracPart;
    int top = exponent > 0 ? exponent : 0;
    for (int place = top; place >= -6; --place) {
        int k = exponent - place;
        char c = (k >= 0 && k < static_cast<int>(digits.size())) ? digits[k] : '0';
        (place >= 0 ? intPart : fracPart).push_back(c);
    }
    while (!fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    std::string out;
    if (negative && (intPart != "0" || !fracPart.empty())) out.push_back('-');
    out += intPart;
    if (!fracPart.empty()) {
        out.push_back(DecimalSeparator);
        out += fracPart;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Parsing.

bool TVolgaFormatSettings::ParseDate(const std::string& text, TDateTime& out) const {
    std::string_view s = TrimView(text);
    if (s.empty()) return false;
    size_t pos = 0;
    int64_t day = 0;
    if (!ParseDatePart(ShortDateFormat, s, pos, day) || pos != s.size()) return false;
    out = static_cast<double>(day - kVolgaDateDelta);
    return true;
}

bool TVolgaFormatSettings::ParseTime(const std::string& text, TDateTime& out) const {
    std::string_view s = TrimView(text);
    size_t pos = 0;
    int32_t ms = 0;
    if (!ParseTimePart(LongTimeFormat, DecimalSeparator, s, pos, ms) || pos != s.size())
        return false;
    out = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return true;
}

bool TVolgaFormatSettings::ParseDateTime(const std::string& text, TDateTime& out) const {
    std::string_view s = TrimView(text);
    if (s.empty()) return false;
    size_t pos = 0;
    int64_t day = 0;
    if (!ParseDatePart(ShortDateFormat, s, pos, day)) return false;
    int32_t ms = 0;
    if (pos != s.size()) {
        size_t start = pos;
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        if (pos == start) return false;
        if (!ParseTimePart(LongTimeFormat, DecimalSeparator, s, pos, ms) || pos != s.size())
            return false;
    }
    out = ComposeDateTime(static_cast<double>(day - kVolgaDateDelta), ms);
    return true;
}

bool TVolgaFormatSettings::ParseFloat(const std::string& text, double& out) const {
    std::string_view s = TrimView(text);
    // [sign] digits [separator digits] [e [sign] digits], at least one mantissa digit.
    std::string norm;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') norm.push_back('-');
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        norm.push_back(s[i++]);
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == DecimalSeparator) {
        norm.push_back('.');
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            norm.push_back(s[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        norm.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            norm.push_back(s[i++]);
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    double v = 0;
    auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (res.ec != std::errc() || res.ptr != norm.data() + norm.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Stored encodings.

int32_t TVolgaFormatSettings::DateToDayNumber(TDateTime value) {
    return static_cast<int32_t>(ToTimeStamp(value).Day);
}

int32_t TVolgaFormatSettings::TimeToMs(TDateTime value) {
    return ToTimeStamp(value).Ms;
}

double TVolgaFormatSettings::DateTimeToStamp(TDateTime value) {
    TimeStamp ts = ToTimeStamp(value);
    return static_cast<double>(ts.Day) * static_cast<double>(kMsPerDay) +
           static_cast<double>(ts.Ms);
}

TDateTime TVolgaFormatSettings::DayNumberToDate(int32_t day) {
    return static_cast<double>(static_cast<int64_t>(day) - kVolgaDateDelta);
}

TDateTime TVolgaFormatSettings::MsToTime(int32_t ms) {
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

TDateTime TVolgaFormatSettings::StampToDateTime(double stamp) {
    if (!std::isfinite(stamp) || std::fabs(stamp) > 1.0e15) return 0;
    int64_t total = std::llround(stamp);
    int64_t day = total / kMsPerDay;
    int64_t ms = total % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --day;
    }
    return ComposeDateTime(static_cast<double>(day - kVolgaDateDelta), ms);
}

// ---------------------------------------------------------------------------------------------
// Calendar helpers.

bool TVolgaFormatSettings::EncodeDate(int year, int month, int day, TDateTime& out) {
    if (!ValidDate(year, month, day)) return false;
    out = static_cast<double>(DayNumberOf(year, month, day) - kVolgaDateDelta);
    return true;
}

void TVolgaFormatSettings::DecodeDate(TDateTime value, int& year, int& month, int& day) {
    TimeStamp ts = ToTimeStamp(value);
    if (ts.Day < 1 || ts.Day > kMaxDayNumber) {
        year = month = day = 0;
        return;
    }
    CivilOf(ts.Day, year, month, day);
}

bool TVolgaFormatSettings::EncodeTime(int hour, int min, int sec, int msec, TDateTime& out) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        return false;
    out = MsToTime(((hour * 60 + min) * 60 + sec) * 1000 + msec);
    return true;
}

void TVolgaFormatSettings::DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
    int32_t ms = ToTimeStamp(value).Ms;
    hour = ms / 3600000;
    min = ms / 60000 % 60;
    sec = ms / 1000 % 60;
    msec = ms % 1000;
}
