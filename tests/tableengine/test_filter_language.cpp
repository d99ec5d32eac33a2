// The filter and query language: tokens, their errors and the condition list.
#include <gtest/gtest.h>

#include "EVolgaError.h"
#include "TVolgaFilter.h"
#include "TVolgaParser.h"

namespace {

using K = TVolgaTokenKind;
using Op = TVolgaCompareOp;

std::vector<TVolgaToken> Tok(const std::string& text, char sep = '.') {
    return TVolgaParser::Tokenize(text, sep);
}

// "kind:text" for each token, space-separated.
std::string Dump(const std::string& text, char sep = '.') {
    std::string out;
    for (const TVolgaToken& t : Tok(text, sep)) {
        if (!out.empty()) out += ' ';
        out += std::to_string(static_cast<int>(t.Kind)) + ":" + t.Text;
    }
    return out;
}

std::string TokError(const std::string& text) {
    try {
        Tok(text);
    } catch (const EVolgaError& e) {
        return e.what();
    }
    return "(no error)";
}

std::vector<TVolgaCField> Conds(const std::string& text, size_t* groupAt = nullptr) {
    std::vector<TVolgaCField> out;
    size_t g = TVolgaParser::ParseConditions(Tok(text), 0, out);
    if (groupAt) *groupAt = g;
    return out;
}

std::string CondError(const std::string& text) {
    try {
        Conds(text);
    } catch (const EVolgaError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(Tokenize, KindsOfAStatement) {
    EXPECT_EQ(Dump("SELECT a, t.B FROM x WHERE c >= 1.5 AND d <> 'q' or NOT e *= null"),
              "5:SELECT 1:a 3:, 1:t 4:. 1:B 5:FROM 1:x 5:WHERE 1:c 10:>= 6:1.5 9:AND 1:d 10:<> "
              "2:q 9:OR 9:NOT 1:e 10:*= 13:NULL");
    EXPECT_EQ(Dump("( ) * + - / , . < = > >= <= <> *="),
              "11:( 12:) 7:* 8:+ 8:- 8:/ 3:, 4:. 10:< 10:= 10:> 10:>= 10:<= 10:<> 10:*=");
    EXPECT_EQ(Dump("a>=b<c"), "1:a 10:>= 1:b 10:< 1:c");
    EXPECT_EQ(Dump("true False select distinct group by as join left on like from where"),
              "20:TRUE 21:FALSE 5:SELECT 5:DISTINCT 5:GROUP 5:BY 5:AS 5:JOIN 5:LEFT 5:ON 5:LIKE "
              "5:FROM 5:WHERE");
    EXPECT_EQ(Dump("MyField _x a$b count sum"), "1:MyField 1:_x 1:a$b 5:COUNT 5:SUM");
}

TEST(Tokenize, AggregatesTakeTheirParentheses) {
    EXPECT_EQ(Dump("COUNT(a) sum(t.b) Max(c) MIN(d) avg(e)"),
              "14:COUNT 1:a 15:SUM 1:t 4:. 1:b 16:MAX 1:c 17:MIN 1:d 18:AVG 1:e");
    EXPECT_EQ(Dump("count (a)"), "5:COUNT 11:( 1:a 12:)");  // not "directly followed"
    EXPECT_EQ(Dump("f(x)"), "1:f 11:( 1:x 12:)");
}

TEST(Tokenize, NumbersRunOverDashesAndTheDecimalSeparator) {
    EXPECT_EQ(Dump("1-2 01-02-2005 3.25 7-"), "6:1-2 6:01-02-2005 6:3.25 6:7-");
    EXPECT_EQ(Dump("a=-1"), "1:a 10:= 8:- 6:1");
    EXPECT_EQ(Dump("1,5"), "6:1 3:, 6:5");
    EXPECT_EQ(Dump("1,5", ','), "6:1,5");
    EXPECT_EQ(Dump("1.5", ','), "6:1 4:. 6:5");
    EXPECT_EQ(Dump("12ab"), "6:12 1:ab");
}

TEST(Tokenize, QuotedTexts) {
    EXPECT_EQ(Dump("'O''Brien'"), "2:O'Brien");
    EXPECT_EQ(Dump("\"say \"\"hi\"\"\""), "2:say \"hi\"");
    EXPECT_EQ(Dump("'it\"s' \"it's\""), "2:it\"s 2:it's");
    EXPECT_EQ(Dump("'' ''''"), "2: 2:'");
    EXPECT_EQ(Dump("'a b  c'x"), "2:a b  c 1:x");
    EXPECT_EQ(Dump("'\xC3\xA4\xE2\x82\xAC'"), "2:\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Dump("'(' ')'"), "2:( 2:)");  // parentheses in quotes are not counted
}

TEST(Tokenize, BlanksAndControlCharactersAroundAreIgnored) {
    EXPECT_EQ(Dump("\x01\t a\r\n=\t1 \x02\x1f"), "1:a 10:= 6:1");
    EXPECT_EQ(Dump(""), "");
    EXPECT_EQ(Dump(" \t\r\n"), "");
}

TEST(Tokenize, ErrorTexts) {
    EXPECT_EQ(TokError("a = 'abc"), "Unmatched quote");
    EXPECT_EQ(TokError("a = 'abc''"), "Unmatched quote");
    EXPECT_EQ(TokError("\"abc'"), "Unmatched quote");
    EXPECT_EQ(TokError("(a = 1"), "Unmatched parentheses");
    EXPECT_EQ(TokError("a = 1)"), "Unmatched parentheses");
    EXPECT_EQ(TokError("COUNT(a"), "Unmatched parentheses");
    EXPECT_EQ(TokError("a # 1"), "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(TokError("a = !1"), "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(TokError("\xC3\xA4 = 1"), "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(TokError("a\x01 = 1"), "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(TokError("$x = 1"), "Parameter $x is not valid identifier");
    EXPECT_EQ(TokError("LIKE(x)"), "Unsupported function LIKE in query");
    EXPECT_EQ(TokError("a = Null(1)"), "Unsupported function NULL in query");
    EXPECT_EQ(TokError("COUNT(*)"), "Symbol * is not supported in aggregate function argument");
    EXPECT_EQ(TokError("SUM(a+b)"), "Symbol + is not supported in aggregate function argument");
    EXPECT_EQ(TokError("MAX(a>=b)"), "Symbol >= is not supported in aggregate function argument");
    EXPECT_EQ(TokError("MIN(a,b)"), "Symbol , is not supported in aggregate function argument");
    EXPECT_EQ(TokError("COUNT(MAX(a))"),
              "Symbol ( is not supported in aggregate function argument");
}

TEST(Conditions, FieldsOperatorsAndRightSides) {
    auto c = Conds("FolderID='0Ab3xY9z'");
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].LeftName, "FolderID");
    EXPECT_EQ(c[0].LeftKind, K::Identifier);
    EXPECT_EQ(c[0].Op, Op::Equal);
    EXPECT_EQ(c[0].RightText, "0Ab3xY9z");
    EXPECT_EQ(c[0].RightKind, K::Quoted);

    c = Conds("a > 1 AND b < 2 and c >= 3 AND d <= 4 AND e <> 5 AND f LIKE 'x%' AND g *= h "
              "AND i NOT LIKE 'y' AND 'my field' = x");
    ASSERT_EQ(c.size(), 9u);
    const Op ops[] = {Op::Greater,   Op::Less, Op::GreaterEqual, Op::LessEqual, Op::NotEqual,
                      Op::Like,      Op::OuterJoin, Op::NotLike, Op::Equal};
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(c[i].Op, ops[i]) << i;
    EXPECT_EQ(c[6].RightKind, K::Identifier);
    EXPECT_EQ(c[8].LeftName, "my field");
    EXPECT_EQ(c[8].LeftKind, K::Quoted);

    c = Conds("a = NULL AND b = TRUE AND c = false AND d = 2024-06-15");
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].RightKind, K::Null);
    EXPECT_EQ(c[1].RightKind, K::True);
    EXPECT_EQ(c[2].RightKind, K::False);
    EXPECT_EQ(c[2].RightText, "FALSE");
    EXPECT_EQ(c[3].RightKind, K::Number);
    EXPECT_EQ(c[3].RightText, "2024-06-15");
}

TEST(Conditions, AliasesOnBothSides) {
    auto c = Conds("calls.date <= t2.other AND x.y = 'v'");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].LeftAlias, "calls");
    EXPECT_EQ(c[0].LeftName, "date");
    EXPECT_EQ(c[0].RightAlias, "t2");
    EXPECT_EQ(c[0].RightText, "other");
    EXPECT_EQ(c[1].LeftAlias, "x");
    EXPECT_EQ(c[1].RightAlias, "");
}

TEST(Conditions, MinusBeforeANumberOnly) {
    auto c = Conds("channel = -1 AND x > t.-2.5");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].RightText, "-1");
    EXPECT_EQ(c[0].RightKind, K::Number);
    EXPECT_EQ(c[1].RightText, "-2.5");
    EXPECT_EQ(CondError("channel = - x"), "Error in comparison expression");
    EXPECT_EQ(CondError("channel = -'1'"), "Error in comparison expression");
    EXPECT_EQ(CondError("channel = +1"), "Error in comparison expression");
}

TEST(Conditions, OnlyAndJoinsComparisons) {
    EXPECT_EQ(CondError("a = 1 OR b = 2"), "Error in comparison expression");
    EXPECT_EQ(CondError("NOT a = 1"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = 1 AND NOT b = 2"), "Error in comparison expression");
    EXPECT_EQ(CondError("a NOT = 1"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = 1 b = 2"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = 1, b = 2"), "Error in comparison expression");
    EXPECT_EQ(CondError("(a = 1)"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = (1)"), "Error in comparison expression");
    EXPECT_EQ(CondError("1 = a"), "Error in comparison expression");
    EXPECT_EQ(CondError("a == 1"), "Error in comparison expression");
    EXPECT_EQ(CondError("a IS NULL"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = 1 GROUP a"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = 1 GROUP"), "Error in comparison expression");
    EXPECT_EQ(CondError("a = b.*"), "Error in comparison expression");
}

TEST(Conditions, ComparisonCutShortByTheEndIsDropped) {
    for (const char* text : {"", "a", "t.", "t.a", "a =", "a NOT", "a = t.", "a = -",
                             "a LIKE"})
        EXPECT_EQ(Conds(text).size(), 0u) << text;
    for (const char* text : {"a = 1 AND", "a = 1 AND b", "a = 1 AND b <>", "a = 1 AND x.b = y."})
        EXPECT_EQ(Conds(text).size(), 1u) << text;
}

TEST(Conditions, GroupByEndsTheListAndGivesItsPosition) {
    size_t at = 99;
    auto c = Conds("a = 1 AND b = 2 GROUP BY a", &at);
    EXPECT_EQ(c.size(), 2u);
    EXPECT_EQ(at, 8u);  // a = 1 AND b = 2 GROUP [BY] a
    Conds("a = 1", &at);
    EXPECT_EQ(at, 0u);

    // Parsing can start inside a statement, after WHERE.
    auto tokens = Tok("SELECT x FROM t WHERE x = 3 GROUP BY x");
    std::vector<TVolgaCField> out;
    EXPECT_EQ(TVolgaParser::ParseConditions(tokens, 5, out), 9u);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].RightText, "3");
}

TEST(FilterText, ParsesWholeTextAndForgetsConditionsOnError) {
    TVolgaFormatSettings fmt;
    TVolgaFilter f;
    f.SetText("a = 1 AND b = 'x'", fmt);
    EXPECT_EQ(f.Conditions().size(), 2u);
    EXPECT_EQ(f.Text(), "a = 1 AND b = 'x'");
    EXPECT_THROW(f.SetText("a = 1 OR b = 2", fmt), EVolgaError);
    EXPECT_TRUE(f.IsEmpty());
    f.SetText("a = 1", fmt);
    EXPECT_THROW(f.SetText("a = 'x", fmt), EVolgaError);
    EXPECT_TRUE(f.IsEmpty());
    f.SetText("a = 1", fmt);
    try {
        f.SetText("a = 1 GROUP BY a", fmt);  // queries only
        ADD_FAILURE() << "GROUP BY accepted in a filter";
    } catch (const EVolgaError& e) {
        EXPECT_STREQ(e.what(), "Error in comparison expression");
    }
    EXPECT_TRUE(f.IsEmpty());
    f.SetText("   ", fmt);
    EXPECT_TRUE(f.IsEmpty());
    fmt.DecimalSeparator = ',';
    f.SetText("amount > 1,5", fmt);
    ASSERT_EQ(f.Conditions().size(), 1u);
    EXPECT_EQ(f.Conditions()[0].RightText, "1,5");
}
