#include "TVolgaParser.h"

#include <array>
#include <string>

#include "EVolgaError.h"
#include "VolgaText.h"

namespace {

constexpr std::array<std::string_view, 22> kReserved = {
    "SELECT", "FROM", "WHERE", "AS",  "AND", "OR",   "NOT",   "NULL",     "JOIN",  "LEFT", "ON",
    "LIKE",   "GROUP", "BY",   "SUM", "MAX", "MIN",  "TRUE",  "FALSE",    "AVG",   "DISTINCT",
    "COUNT"};

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string AsciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

// Kind of a single-character symbol, or 0 when the character is none.
int SymbolKind(char c) {
    switch (c) {
        case '(': return static_cast<int>(TVolgaTokenKind::LParen);
        case ')': return static_cast<int>(TVolgaTokenKind::RParen);
        case '*': return static_cast<int>(TVolgaTokenKind::Star);
        case '+':
        case '-':
        case '/': return static_cast<int>(TVolgaTokenKind::Arith);
        case ',': return static_cast<int>(TVolgaTokenKind::Comma);
        case '.': return static_cast<int>(TVolgaTokenKind::Dot);
        case '<':
        case '=':
        case '>': return static_cast<int>(TVolgaTokenKind::Compare);
        default: return 0;
    }
}

[[noreturn]] void ComparisonError() { throw EVolgaError("Error in comparison expression"); }

bool Is(const TVolgaToken& t, TVolgaTokenKind kind, std::string_view text) {
    return t.Kind == kind && t.Text == text;
}

}  // namespace

bool TVolgaParser::IsReservedWord(std::string_view upperWord) {
    for (std::string_view w : kReserved)
        if (w == upperWord) return true;
    return false;
}

std::vector<TVolgaToken> TVolgaParser::Tokenize(std::string_view input, char decimalSeparator) {
    std::string trimmed = VolgaTrim(input);
    std::string_view s = trimmed;
    std::vector<TVolgaToken> out;
    bool inAggregate = false;  // between an aggregate's "(" and its ")"
    int opened = 0, closed = 0;
    size_t i = 0;
    const size_t n = s.size();
    auto add = [&out](std::string text, TVolgaTokenKind kind) {
        out.push_back(TVolgaToken{std::move(text), kind});
    };
    while (i < n) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            // Quoted text; a doubled quote inside stands for one quote character.
            std::string text;
            size_t j = i + 1;
            for (;;) {
                if (j >= n) throw EVolgaError("Unmatched quote");
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        text.push_back(c);
                        j += 2;
                        continue;
                    }
                    break;
                }
                text.push_back(s[j++]);
            }
            add(std::move(text), TVolgaTokenKind::Quoted);
            i = j + 1;
            continue;
        }
        if (IsDigit(c)) {
            // Digits, "-" and the decimal separator run together: 1-2 and 01-02-2005 are one
            // number each.
            size_t j = i + 1;
            while (j < n && (IsDigit(s[j]) || s[j] == '-' || s[j] == decimalSeparator)) ++j;
            add(std::string(s.substr(i, j - i)), TVolgaTokenKind::Number);
            i = j;
            continue;
        }
        if (int kind = SymbolKind(c)) {
            std::string sym(1, c);
            if (i + 1 < n && ((c == '>' && s[i + 1] == '=') || (c == '<' && s[i + 1] == '=') ||
                              (c == '<' && s[i + 1] == '>') || (c == '*' && s[i + 1] == '='))) {
                sym.push_back(s[i + 1]);
                kind = static_cast<int>(TVolgaTokenKind::Compare);
            }
            i += sym.size();
            if (inAggregate) {
                if (c == ')') {
                    inAggregate = false;  // closes the aggregate; no token
                    continue;
                }
                if (c != '.')
                    throw EVolgaError(VolgaFormat(
                        "Symbol %s is not supported in aggregate function argument", sym.c_str()));
            }
            if (c == '(') ++opened;
            if (c == ')') ++closed;
            add(std::move(sym), static_cast<TVolgaTokenKind>(kind));
            continue;
        }
        if (!IsWordChar(c))
            throw EVolgaError("Invalid symbol in parameter/identificator/reserved word");
        size_t j = i + 1;
        while (j < n && IsWordChar(s[j])) ++j;
        std::string word(s.substr(i, j - i));
        i = j;
        std::string upper = AsciiUpper(word);
        if (IsReservedWord(upper)) {
            if (i < n && s[i] == '(') {
                TVolgaTokenKind agg;
                if (upper == "COUNT") agg = TVolgaTokenKind::Count;
                else if (upper == "SUM") agg = TVolgaTokenKind::Sum;
                else if (upper == "MAX") agg = TVolgaTokenKind::Max;
                else if (upper == "MIN") agg = TVolgaTokenKind::Min;
                else if (upper == "AVG") agg = TVolgaTokenKind::Avg;
                else
                    throw EVolgaError(
                        VolgaFormat("Unsupported function %s in query", upper.c_str()));
                // An aggregate cannot nest: its "(" is a symbol of the outer argument.
                if (inAggregate)
                    throw EVolgaError(
                        "Symbol ( is not supported in aggregate function argument");
                ++i;  // the parenthesis belongs to the aggregate token
                inAggregate = true;
                add(std::move(upper), agg);
                continue;
            }
            TVolgaTokenKind kind = TVolgaTokenKind::Reserved;
            if (upper == "AND" || upper == "OR" || upper == "NOT") kind = TVolgaTokenKind::Logic;
            else if (upper == "NULL") kind = TVolgaTokenKind::Null;
            else if (upper == "TRUE") kind = TVolgaTokenKind::True;
            else if (upper == "FALSE") kind = TVolgaTokenKind::False;
            add(std::move(upper), kind);
            continue;
        }
        if (!IsLetter(word[0]) && word[0] != '_')
            throw EVolgaError(
                VolgaFormat("Parameter %s is not valid identifier", word.c_str()));
        add(std::move(word), TVolgaTokenKind::Identifier);
    }
    // An aggregate left open counts as an unmatched parenthesis too.
    if (opened != closed || inAggregate) throw EVolgaError("Unmatched parentheses");
    return out;
}

size_t TVolgaParser::ParseConditions(const std::vector<TVolgaToken>& tokens, size_t start,
                                     std::vector<TVolgaCField>& out) {
    const size_t n = tokens.size();
    size_t i = start;
    auto aliasAt = [&](size_t k) {
        return k + 1 < n && tokens[k].Kind == TVolgaTokenKind::Identifier &&
               tokens[k + 1].Kind == TVolgaTokenKind::Dot;
    };
    // Each step below stops quietly when the tokens run out: a comparison cut short by the end
    // of the text is dropped.
    while (i < n) {
        TVolgaCField c;
        if (aliasAt(i)) {
            c.LeftAlias = tokens[i].Text;
            i += 2;
            if (i >= n) break;
        }
        const TVolgaToken& left = tokens[i];
        if (left.Kind != TVolgaTokenKind::Identifier && left.Kind != TVolgaTokenKind::Quoted)
            ComparisonError();
        c.LeftName = left.Text;
        c.LeftKind = left.Kind;
        if (++i >= n) break;

        const TVolgaToken& op = tokens[i];
        if (op.Kind == TVolgaTokenKind::Compare) {
            if (op.Text == "=") c.Op = TVolgaCompareOp::Equal;
            else if (op.Text == ">") c.Op = TVolgaCompareOp::Greater;
            else if (op.Text == "<") c.Op = TVolgaCompareOp::Less;
            else if (op.Text == ">=") c.Op = TVolgaCompareOp::GreaterEqual;
            else if (op.Text == "<=") c.Op = TVolgaCompareOp::LessEqual;
            else if (op.Text == "<>") c.Op = TVolgaCompareOp::NotEqual;
            else if (op.Text == "*=") c.Op = TVolgaCompareOp::OuterJoin;
            else ComparisonError();
        } else if (Is(op, TVolgaTokenKind::Reserved, "LIKE")) {
            c.Op = TVolgaCompareOp::Like;
        } else if (Is(op, TVolgaTokenKind::Logic, "NOT")) {
            if (i + 1 >= n) break;
            if (!Is(tokens[i + 1], TVolgaTokenKind::Reserved, "LIKE")) ComparisonError();
            c.Op = TVolgaCompareOp::NotLike;
            ++i;
        } else {
            ComparisonError();
        }
        if (++i >= n) break;

        if (aliasAt(i)) {
            c.RightAlias = tokens[i].Text;
            i += 2;
            if (i >= n) break;
        }
        bool negative = false;
        if (Is(tokens[i], TVolgaTokenKind::Arith, "-")) {
            if (i + 1 >= n) break;
            if (tokens[i + 1].Kind != TVolgaTokenKind::Number) ComparisonError();
            negative = true;
            ++i;
        }
        const TVolgaToken& right = tokens[i];
        switch (right.Kind) {
            case TVolgaTokenKind::Identifier:
            case TVolgaTokenKind::Quoted:
            case TVolgaTokenKind::Number:
            case TVolgaTokenKind::Null:
            case TVolgaTokenKind::True:
            case TVolgaTokenKind::False: break;
            default: ComparisonError();
        }
        c.RightText = negative ? "-" + right.Text : right.Text;
        c.RightKind = right.Kind;
        out.push_back(std::move(c));
        if (++i >= n) break;

        const TVolgaToken& link = tokens[i];
        if (Is(link, TVolgaTokenKind::Logic, "AND")) {
            ++i;
            continue;
        }
        if (Is(link, TVolgaTokenKind::Reserved, "GROUP") && i + 1 < n &&
            Is(tokens[i + 1], TVolgaTokenKind::Reserved, "BY"))
            return i + 1;
        ComparisonError();
    }
    return 0;
}
