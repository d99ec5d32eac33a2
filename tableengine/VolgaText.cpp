#include "VolgaText.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstring>

namespace {

locale_t Utf8Locale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK | LC_COLLATE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        return l;
    }();
    return loc;
}

// Decodes one UTF-8 character at s[i]; invalid bytes decode as themselves (Latin-1).
char32_t Decode(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        ++i;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        len = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 3;
        cp = c & 0x07;
    } else {
        ++i;
        return 0xDC00 + c;  // lone byte: kept distinct and round-tripped by Encode
    }
    if (i + len >= s.size()) {
        ++i;
        return 0xDC00 + c;
    }
    for (int k = 1; k <= len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xDC00 + c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += len + 1;
    return cp;
}

void Encode(char32_t cp, std::string& out) {
    if (cp >= 0xDC80 && cp <= 0xDCFF) {
        out.push_back(static_cast<char>(cp - 0xDC00));
    } else if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string VolgaUpper(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    if (IsAscii(s)) {
        for (char c : s) out.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c);
        return out;
    }
    locale_t loc = Utf8Locale();
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp = Decode(s, i);
        if (cp < 0xDC80 || cp > 0xDCFF) cp = static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), loc));
        Encode(cp, out);
    }
    return out;
}

int VolgaCompareTextCS(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int VolgaCompareTextCI(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if (x >= 'a' && x <= 'z') x -= 32;
            if (y >= 'a' && y <= 'z') y -= 32;
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    return VolgaCompareTextCS(VolgaUpper(a), VolgaUpper(b));
}

int VolgaCompareText(std::string_view a, std::string_view b, bool caseInsensitive) {
    if (a.empty() || b.empty()) {
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    size_t n = std::min(a.size(), b.size());
    int c = caseInsensitive ? VolgaCompareTextCI(a.substr(0, n), b.substr(0, n))
                            : VolgaCompareTextCS(a.substr(0, n), b.substr(0, n));
    if (c != 0) return c;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string VolgaCutUtf8(std::string_view s, size_t maxBytes) {
    if (s.size() <= maxBytes) return std::string(s);
    size_t cut = maxBytes;
    // Step back over continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    return std::string(s.substr(0, cut));
}

bool VolgaSameTextCI(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    return VolgaCompareTextCI(a, b) == 0;
}

std::string VolgaTrim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}
