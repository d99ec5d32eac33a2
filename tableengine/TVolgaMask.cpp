#include "TVolgaMask.h"

#include <locale.h>
#include <wctype.h>

#include <string>

#include "EVolgaError.h"

namespace {

// At most this many items may follow a multi-character wildcard.
constexpr int kMaxWildcardItems = 30;

locale_t Utf8Locale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        return l;
    }();
    return loc;
}

// Decodes the UTF-8 character at s[i] and advances i. A byte that does not start a well-formed
// sequence stands for itself (mapped to U+DC80..U+DCFF, so it cannot equal a real character).
char32_t DecodeAt(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
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
        return 0xDC00 + c;
    }
    if (s.size() - i <= static_cast<size_t>(len)) {
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
    i += static_cast<size_t>(len) + 1;
    return cp;
}

char32_t UpperOf(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    if (cp >= 0xDC80 && cp <= 0xDCFF) return cp;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), Utf8Locale()));
}

}  // namespace

TVolgaMask::TVolgaMask(std::string_view pattern) {
    bool pending = false;  // a "%" or "*" waits for the next item
    int flagged = 0;
    int position = 0;  // 1-based character position in the pattern
    auto flag = [&]() {
        if (++flagged > kMaxWildcardItems)
            throw EVolgaError(VolgaFormat("'%.*s' is an invalid mask at (%d)",
                                          static_cast<int>(pattern.size()), pattern.data(),
                                          position));
    };
    size_t i = 0;
    while (i < pattern.size()) {
        char32_t cp = DecodeAt(pattern, i);
        ++position;
        if (cp == '%' || cp == '*') {
            pending = true;
        } else if (cp == '_' || cp == '?') {
            // A single-character wildcard right after a multi-character one adds nothing.
            if (!pending) {
                Item it;
                it.AnyChar = true;
                items_.push_back(it);
            }
        } else {
            Item it;
            it.AfterWildcard = pending;
            it.Char = UpperOf(cp);
            if (pending) flag();
            pending = false;
            items_.push_back(it);
        }
    }
    ++position;
    Item end;
    end.End = true;
    end.AfterWildcard = pending;
    if (pending) flag();
    items_.push_back(end);
}

namespace {

// Reads the next character of `s` at `i`, upper-cased.
inline char32_t NextUpper(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return (c >= 'a' && c <= 'z') ? c - 32u : c;
    }
    return UpperOf(DecodeAt(s, i));
}

// The first position at or after `t` where the literal `upper` occurs, or s.size().
size_t FindLiteral(std::string_view s, size_t t, char32_t upper) {
    const size_t n = s.size();
    if (upper < 0x80) {
        // ASCII text is scanned bytewise; other characters are decoded, since a few of them
        // upper-case to ASCII letters (the dotless i to I).
        char u = static_cast<char>(upper);
        char l = (upper >= 'A' && upper <= 'Z') ? static_cast<char>(upper + 32) : u;
        while (t < n) {
            char c = s[t];
            if (static_cast<unsigned char>(c) < 0x80) {
                if (c == u || c == l) return t;
                ++t;
                continue;
            }
            size_t next = t;
            if (UpperOf(DecodeAt(s, next)) == upper) return t;
            t = next;
        }
        return n;
    }
    while (t < n) {
        size_t next = t;
        if (NextUpper(s, next) == upper) return t;
        t = next;
    }
    return n;
}

}  // namespace

// Glob matching with a single remembered resume point: when an item fails, matching resumes at
// the most recent wildcard, one character further on. Returning to an earlier wildcard could
// not find a match that this misses, so the work is bounded by text length x items.
bool TVolgaMask::Matches(std::string_view text) const {
    const size_t n = text.size();
    size_t p = 0;         // current item
    size_t t = 0;         // current byte in the text
    size_t starItem = 0;  // item after the most recent wildcard, and where its try began
    size_t starText = 0;
    bool haveStar = false;
    for (;;) {
        const Item& it = items_[p];
        if (it.AfterWildcard) {
            if (it.End) return true;  // a trailing wildcard takes the rest of the text
            // Skip straight to the next occurrence of the literal (flagged items are never
            // single-character wildcards).
            t = FindLiteral(text, t, it.Char);
            if (t >= n) return false;
            haveStar = true;
            starItem = p;
            starText = t;
        }
        bool ok = false;
        size_t next = t;
        if (it.End) {
            if (t == n) return true;
        } else if (t < n) {
            char32_t c = NextUpper(text, next);
            ok = it.AnyChar || c == it.Char;
        }
        if (ok) {
            t = next;
            ++p;
            continue;
        }
        if (!haveStar || starText >= n) return false;
        DecodeAt(text, starText);
        t = starText;
        p = starItem;
    }
}
