#include "TsvText.h"

#include <utility>

#include "VolgaText.h"

namespace tabletool {

std::string EscapeCell(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    out += "\\x";
                    out += kHex[u >> 4];
                    out += kHex[u & 15];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string UnescapeCell(std::string_view s) {
    if (s.find('\\') == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char n = s[i + 1];
        switch (n) {
            case '\\':
                out += '\\';
                ++i;
                break;
            case 't':
                out += '\t';
                ++i;
                break;
            case 'n':
                out += '\n';
                ++i;
                break;
            case 'r':
                out += '\r';
                ++i;
                break;
            case 'x':
                if (i + 3 < s.size() && HexValue(s[i + 2]) >= 0 && HexValue(s[i + 3]) >= 0) {
                    out += static_cast<char>(HexValue(s[i + 2]) * 16 + HexValue(s[i + 3]));
                    i += 3;
                } else {
                    out += '\\';
                }
                break;
            default:
                out += '\\';
        }
    }
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> cells;
    size_t pos = 0;
    for (;;) {
        size_t tab = line.find('\t', pos);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(pos));
            return cells;
        }
        cells.push_back(line.substr(pos, tab - pos));
        pos = tab + 1;
    }
}

std::optional<TFieldType> TypeFromName(std::string_view name) {
    static const std::pair<const char*, TFieldType> kTypes[] = {
        {"smallint", TFieldType::ftSmallint}, {"integer", TFieldType::ftInteger},
        {"largeint", TFieldType::ftLargeint}, {"word", TFieldType::ftWord},
        {"boolean", TFieldType::ftBoolean},   {"float", TFieldType::ftFloat},
        {"currency", TFieldType::ftCurrency}, {"date", TFieldType::ftDate},
        {"time", TFieldType::ftTime},         {"datetime", TFieldType::ftDateTime},
        {"autoinc", TFieldType::ftAutoInc},   {"string", TFieldType::ftString},
        {"memo", TFieldType::ftMemo},         {"blob", TFieldType::ftBlob},
    };
    for (const auto& [n, t] : kTypes)
        if (VolgaSameTextCI(name, n)) return t;
    return std::nullopt;
}

}  // namespace tabletool
