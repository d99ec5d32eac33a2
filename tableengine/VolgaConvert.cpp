#include "VolgaConvert.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "VolgaText.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A signed integer: [blanks] [+|-] (decimal digits | "$" hexadecimal digits) [blanks].
// Decimal values must lie within [lo, hi]; hexadecimal ones are read as a `bits`-wide two's
// complement pattern ($FFFFFFFF is -1 for a 32-bit field), so they may use all the bits.
bool ParseInteger(std::string_view s, int64_t lo, int64_t hi, int bits, int64_t& out) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    s = s.substr(b, e - b);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size()) return false;
    if (s[i] == '$') {
        ++i;
        if (i >= s.size()) return false;
        uint64_t v = 0;
        int significant = 0;
        for (; i < s.size(); ++i) {
            int d = HexDigit(s[i]);
            if (d < 0) return false;
            if (v != 0 || d != 0) ++significant;
            if (significant > bits / 4) return false;
            v = (v << 4) | static_cast<uint64_t>(d);
        }
        // Negation wraps within the field's width ("-$80000000" stays the most negative value).
        if (negative) v = 0ull - v;
        out = bits == 64 ? static_cast<int64_t>(v)
                         : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)));
        return true;
    }
    uint64_t limit = negative ? static_cast<uint64_t>(-(lo + 1)) + 1 : static_cast<uint64_t>(hi);
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        uint64_t d = static_cast<uint64_t>(s[i] - '0');
        if (v > (limit - d) / 10) return false;
        v = v * 10 + d;
    }
    out = negative ? static_cast<int64_t>(0ull - v) : static_cast<int64_t>(v);
    return true;
}

bool IsTrueWord(const std::string& text) {
    // "ДА" is "yes" in Russian: the two bytes C4 C0 in the Windows Cyrillic code page (texts of
    // old tables) and D0 94 D0 90 in UTF-8.
    if (text == "\xC4\xC0") return true;
    std::string up = VolgaUpper(text);
    return up == "TRUE" || up == "YES" || up == "T" || up == "1" || up == "\xD0\x94\xD0\x90";
}

}  // namespace

std::string VolgaValueToText(const TVolgaField& f, const TVolgaRecordData& r,
                             const TVolgaFormatSettings& fmt) {
    std::string text;
    VolgaAppendValueText(f, r, fmt, text);
    return text;
}

void VolgaAppendValueText(const TVolgaField& f, const TVolgaRecordData& r,
                          const TVolgaFormatSettings& fmt, std::string& out) {
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Int64:
        case TVolgaFieldType::AutoInc: {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, f.GetInt(r)).ptr;
            out.append(digits, end);
            return;
        }
        case TVolgaFieldType::Boolean: out += f.GetBool(r) ? "Yes" : "No"; return;
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency: out += fmt.FormatFloat(f.GetFloat(r)); return;
        case TVolgaFieldType::Date: {
            const int64_t day = f.GetInt(r);
            if (day > 0) out += fmt.FormatDateNumber(static_cast<int32_t>(day));
            return;
        }
        case TVolgaFieldType::Time: {
            const int64_t ms = f.GetInt(r);
            if (ms > 0) out += fmt.FormatTimeMs(static_cast<int32_t>(ms));
            return;
        }
        case TVolgaFieldType::DateTime: {
            // An empty (zero) stamp has no date; it would otherwise be a day before year 1.
            const double stamp = f.GetFloat(r);
            if (stamp > 0) out += fmt.FormatDateTime(TVolgaFormatSettings::StampToDateTime(stamp));
            return;
        }
        case TVolgaFieldType::SmallStr:
        case TVolgaFieldType::String:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
            if (f.VarIndex >= 0) {
                out += r.Vars[static_cast<size_t>(f.VarIndex)];
            } else if (f.DataType == TVolgaFieldType::SmallStr) {
                const char* p = reinterpret_cast<const char*>(r.Bytes.data() + f.Offset);
                out.append(p, strnlen(p, static_cast<size_t>(f.DataSize)));
            }
            return;
        case TVolgaFieldType::BLOB:
        case TVolgaFieldType::Graphic: out += "Not Found"; return;
        case TVolgaFieldType::Unknown: return;
    }
}

void VolgaTextToValue(const TVolgaField& f, const std::string& text, TVolgaRecordData& r,
                      const TVolgaFormatSettings& fmt) {
    f.Clear(r);
    if (text.empty()) return;
    int64_t iv = 0;
    double dv = 0;
    TDateTime dt = 0;
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
            // Read as a 32-bit integer; the field keeps the low 16 bits.
            if (ParseInteger(text, INT32_MIN, INT32_MAX, 32, iv))
                f.SetInt(r, static_cast<int16_t>(static_cast<uint16_t>(iv & 0xFFFF)));
            break;
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::AutoInc:
            if (ParseInteger(text, INT32_MIN, INT32_MAX, 32, iv)) f.SetInt(r, iv);
            break;
        case TVolgaFieldType::Int64:
            if (ParseInteger(text, INT64_MIN, INT64_MAX, 64, iv)) f.SetInt(r, iv);
            break;
        case TVolgaFieldType::Boolean:
            if (IsTrueWord(text)) f.SetBool(r, true);
            break;
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
            if (fmt.ParseFloat(text, dv)) f.SetFloat(r, dv);
            break;
        case TVolgaFieldType::Date:
            if (fmt.ParseDate(text, dt)) f.SetInt(r, TVolgaFormatSettings::DateToDayNumber(dt));
            break;
        case TVolgaFieldType::Time:
            if (fmt.ParseTime(text, dt)) f.SetInt(r, TVolgaFormatSettings::TimeToMs(dt));
            break;
        case TVolgaFieldType::DateTime:
            if (fmt.ParseDateTime(text, dt))
                f.SetFloat(r, TVolgaFormatSettings::DateTimeToStamp(dt));
            break;
        case TVolgaFieldType::SmallStr:
        case TVolgaFieldType::String:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
            // At most the declared length in bytes, never half a character. Memo descriptors
            // declare no length, so a memo takes no text this way.
            if (f.Size > 0) f.SetText(r, VolgaCutUtf8(text, static_cast<size_t>(f.Size)));
            break;
        case TVolgaFieldType::BLOB:
        case TVolgaFieldType::Graphic:
        case TVolgaFieldType::Unknown: break;
    }
}
