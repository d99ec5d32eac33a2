// LIKE patterns: compiling, the wildcard-item limit and matching.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <vector>

#include "EVolgaError.h"
#include "TVolgaMask.h"

namespace {

bool Like(const std::string& text, const std::string& pattern) {
    return TVolgaMask(pattern).Matches(text);
}

std::string MaskError(const std::string& pattern) {
    try {
        TVolgaMask m(pattern);
    } catch (const EVolgaError& e) {
        return e.what();
    }
    return "(compiled)";
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace

TEST(MaskCompile, ItemsAndTheirFlags) {
    TVolgaMask m("a_%c");
    ASSERT_EQ(m.Items().size(), 4u);
    EXPECT_EQ(m.Items()[0].Char, U'A');
    EXPECT_TRUE(m.Items()[1].AnyChar);
    EXPECT_TRUE(m.Items()[2].AfterWildcard);
    EXPECT_EQ(m.Items()[2].Char, U'C');
    EXPECT_TRUE(m.Items()[3].End);
    EXPECT_FALSE(m.Items()[3].AfterWildcard);

    // "_" right after "%" is dropped; a trailing "%" flags the end marker.
    TVolgaMask dropped("%_c%");
    ASSERT_EQ(dropped.Items().size(), 2u);
    EXPECT_TRUE(dropped.Items()[0].AfterWildcard);
    EXPECT_TRUE(dropped.Items()[1].End);
    EXPECT_TRUE(dropped.Items()[1].AfterWildcard);

    TVolgaMask empty("");
    ASSERT_EQ(empty.Items().size(), 1u);
    EXPECT_TRUE(empty.Items()[0].End);
}

TEST(MaskMatch, SingleCharacterWildcard) {
    EXPECT_TRUE(Like("abc", "a_c"));
    EXPECT_FALSE(Like("ac", "a_c"));
    EXPECT_FALSE(Like("abbc", "a_c"));
    EXPECT_TRUE(Like("a?c", "a?c"));
    EXPECT_TRUE(Like("axc", "a?c"));
    EXPECT_FALSE(Like("ab", "a__"));
}

TEST(MaskMatch, UnderscoreAfterPercentBehavesLikePercentAlone) {
    for (const char* text : {"c", "bc", "abc", "cc", "", "cb"})
        EXPECT_EQ(Like(text, "%_c"), Like(text, "%c")) << text;
    EXPECT_TRUE(Like("c", "%_c"));
}

TEST(MaskMatch, PercentAndStar) {
    EXPECT_TRUE(Like("", "%"));
    EXPECT_TRUE(Like("anything at all", "%"));
    EXPECT_TRUE(Like("", "*"));
    EXPECT_TRUE(Like("", "%%"));
    EXPECT_TRUE(Like("", ""));
    EXPECT_FALSE(Like("x", ""));
    EXPECT_TRUE(Like("xxABCyy", "%abc%"));
    EXPECT_TRUE(Like("abc", "%abc%"));
    EXPECT_FALSE(Like("ab", "%abc%"));
    EXPECT_FALSE(Like("a-b-c", "%abc%"));
    EXPECT_TRUE(Like("abc", "abc"));
    EXPECT_FALSE(Like("abcd", "abc"));
    EXPECT_FALSE(Like("xabc", "abc"));
    EXPECT_TRUE(Like("abcd", "abc*"));
    EXPECT_TRUE(Like("file.wav", "*.wav"));
    EXPECT_FALSE(Like("file.wav.bak", "*.wav"));
}

TEST(MaskMatch, BacktracksToLaterOccurrences) {
    EXPECT_TRUE(Like("aaab", "%aab"));
    EXPECT_TRUE(Like("abab", "%ab%ab"));
    EXPECT_FALSE(Like("ab", "%ab%ab"));
    EXPECT_TRUE(Like("aXbYaZc", "%a%c"));
    EXPECT_TRUE(Like("mississippi", "m%iss%ppi"));
    EXPECT_TRUE(Like("mississippi", "%s_s%"));
    EXPECT_FALSE(Like("mississippi", "m%iss%ppx"));
    EXPECT_TRUE(Like("abcabd", "%ab_"));
    EXPECT_TRUE(Like("xyz", "%_%"));
}

TEST(MaskMatch, IgnoresLetterCaseIncludingNonAsciiLetters) {
    EXPECT_TRUE(Like("ABC", "abc"));
    EXPECT_TRUE(Like("abc", "ABC"));
    EXPECT_TRUE(Like("x\xC3\xA4\xC3\xB6y", "%\xC3\x84\xC3\x96%"));                // äö / ÄÖ
    EXPECT_TRUE(Like("\xD0\x9F\xD0\xA0\xD0\x98 \xD0\xBC", "\xD0\xBF\xD1\x80\xD0\xB8%"));  // ПРИ / при
    EXPECT_FALSE(Like("\xC3\xA4", "a"));
}

TEST(MaskMatch, OneWildcardCharacterIsOneCodePoint) {
    EXPECT_TRUE(Like("a\xC3\xA4" "c", "a_c"));
    EXPECT_FALSE(Like("a\xC3\xA4\xC3\xA4" "c", "a_c"));
    EXPECT_TRUE(Like("\xE2\x82\xAC", "_"));
    EXPECT_TRUE(Like("\xF0\x9F\x93\x9E", "_"));  // four-byte character
    EXPECT_FALSE(Like("\xE2\x82\xAC", "__"));
}

TEST(MaskMatch, MalformedUtf8IsMatchedBytewise) {
    EXPECT_TRUE(Like("a\xFF" "b", "a_b"));
    EXPECT_TRUE(Like("\xC3", "_"));       // truncated sequence
    EXPECT_FALSE(Like("\xC3", "\xC3\xA4"));
    EXPECT_TRUE(Like("x\xE2\x82", "x%"));
    EXPECT_TRUE(Like("\x80\x80", "__"));
}

TEST(MaskCompile, AtMostThirtyItemsAfterWildcards) {
    std::string thirty = Repeat("%a", 30);
    EXPECT_EQ(MaskError(thirty), "(compiled)");
    EXPECT_TRUE(Like(std::string(40, 'a'), thirty));
    EXPECT_EQ(MaskError(thirty + "%b"), "'" + thirty + "%b' is an invalid mask at (62)");
    // The end marker counts too; its position is just past the last character.
    EXPECT_EQ(MaskError(thirty + "%"), "'" + thirty + "%' is an invalid mask at (62)");
    // Items without a wildcard before them do not count.
    EXPECT_EQ(MaskError(thirty + "bcd_"), "(compiled)");
    // Positions count characters, not bytes.
    std::string wide = Repeat("%\xC3\xA4", 31);
    EXPECT_EQ(MaskError(wide), "'" + wide + "' is an invalid mask at (62)");
}

TEST(MaskMatch, HostilePatternsStayFast) {
    // The classic blow-up for naive backtracking: many wildcards and a text that almost matches.
    std::string pattern = Repeat("%a", 29) + "%b";
    std::string text(20000, 'a');
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Like(text, pattern));
    EXPECT_TRUE(Like(text + "b", pattern));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    EXPECT_LT(ms, 1000);
}

namespace {

// Reference matcher: dynamic programming over the pattern with the "_ after %" rule applied.
bool ReferenceLike(const std::string& text, const std::string& pattern) {
    std::string p;
    bool pending = false;
    for (char c : pattern) {
        if (c == '%' || c == '*') {
            pending = true;
            p += '%';
        } else if (c == '_' || c == '?') {
            if (!pending) p += '_';
        } else {
            p += static_cast<char>(toupper(static_cast<unsigned char>(c)));
            pending = false;
        }
    }
    std::string t;
    for (char c : text) t += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    std::vector<std::vector<bool>> m(p.size() + 1, std::vector<bool>(t.size() + 1, false));
    m[p.size()][t.size()] = true;
    for (size_t i = p.size(); i-- > 0;) {
        for (size_t j = t.size() + 1; j-- > 0;) {
            if (p[i] == '%') m[i][j] = m[i + 1][j] || (j < t.size() && m[i][j + 1]);
            else if (j < t.size() && (p[i] == '_' || p[i] == t[j])) m[i][j] = m[i + 1][j + 1];
        }
    }
    return m[0][0];
}

}  // namespace

TEST(MaskMatch, AgreesWithAReferenceMatcherOnRandomCases) {
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    const char patternChars[] = "abA%_*?";
    const char textChars[] = "abB";
    for (int round = 0; round < 20000; ++round) {
        std::string pattern, text;
        for (uint32_t k = next(9); k > 0; --k) pattern += patternChars[next(7)];
        for (uint32_t k = next(11); k > 0; --k) text += textChars[next(3)];
        ASSERT_EQ(Like(text, pattern), ReferenceLike(text, pattern))
            << "text '" << text << "' pattern '" << pattern << "'";
    }
}
