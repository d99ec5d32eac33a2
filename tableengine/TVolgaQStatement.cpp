#include "TVolgaQStatement.h"

#include "EVolgaError.h"
#include "TVolgaParser.h"

namespace {

using K = TVolgaTokenKind;

bool Is(const TVolgaToken& t, TVolgaTokenKind kind, const char* text) {
    return t.Kind == kind && t.Text == text;
}
bool IsName(const TVolgaToken& t) { return t.Kind == K::Identifier || t.Kind == K::Quoted; }

[[noreturn]] void NotFound() {
    throw EVolgaError("SELECT or FROM part of select statement is not found");
}
[[noreturn]] void BadColumnToken(const TVolgaToken& t) {
    throw EVolgaError(
        VolgaFormat("Invalid token %s in column part of SELECT statement", t.Text.c_str()));
}
[[noreturn]] void BadFromToken(const TVolgaToken& t) {
    throw EVolgaError(
        VolgaFormat("Invalid token %s in FROM part of SELECT statement", t.Text.c_str()));
}
[[noreturn]] void BadGroupBy() { throw EVolgaError("Invalid GROUP BY clause in SELECT statement"); }

TVolgaQColumnKind AggregateOf(TVolgaTokenKind k) {
    switch (k) {
        case K::Count: return TVolgaQColumnKind::Count;
        case K::Sum: return TVolgaQColumnKind::Sum;
        case K::Max: return TVolgaQColumnKind::Max;
        case K::Min: return TVolgaQColumnKind::Min;
        default: return TVolgaQColumnKind::Avg;
    }
}

const char* AggregatePrefix(TVolgaQColumnKind k) {
    switch (k) {
        case TVolgaQColumnKind::Count: return "Count_";
        case TVolgaQColumnKind::Sum: return "Sum_";
        case TVolgaQColumnKind::Max: return "Max_";
        case TVolgaQColumnKind::Min: return "Min_";
        default: return "Avg_";
    }
}

bool IsAggregateToken(TVolgaTokenKind k) {
    return k == K::Count || k == K::Sum || k == K::Max || k == K::Min || k == K::Avg;
}

// GROUP BY fields from `i` (the token after BY) to the end.
void ParseGroupBy(const std::vector<TVolgaToken>& t, size_t i, std::vector<TVolgaQGroupField>& out) {
    const size_t n = t.size();
    if (i >= n) BadGroupBy();
    for (;;) {
        TVolgaQGroupField g;
        if (i + 1 < n && IsName(t[i]) && t[i + 1].Kind == K::Dot) {
            g.Alias = t[i].Text;
            i += 2;
        }
        if (i >= n || !IsName(t[i])) BadGroupBy();
        g.Name = t[i].Text;
        out.push_back(std::move(g));
        if (++i >= n) return;
        if (t[i].Kind != K::Comma || ++i >= n) BadGroupBy();
    }
}

}  // namespace

bool TVolgaQStatement::HasAggregates() const {
    for (const TVolgaQColumn& c : Columns)
        if (IsAggregateKind(c.Kind)) return true;
    return false;
}

TVolgaQStatement TVolgaQStatement::Parse(std::vector<TVolgaToken> tokens) {
    TVolgaQStatement st;
    st.Tokens = std::move(tokens);
    const std::vector<TVolgaToken>& t = st.Tokens;
    const size_t n = t.size();
    if (n < 4) throw EVolgaError("Fewer than 4 tokens in Select statement");
    if (!Is(t[0], K::Reserved, "SELECT")) throw EVolgaError("SELECT reserved word is not found");
    size_t i = 1;
    if (Is(t[i], K::Reserved, "DISTINCT")) {
        st.Distinct = true;
        ++i;
    }

    // Columns, up to FROM.
    for (;;) {
        while (i < n && (t[i].Kind == K::LParen || t[i].Kind == K::Null)) ++i;
        if (i >= n) NotFound();
        if (st.Columns.empty() && Is(t[i], K::Reserved, "FROM")) NotFound();
        TVolgaQColumn col;
        const bool aggregate = IsAggregateToken(t[i].Kind);
        if (aggregate) {
            col.Kind = AggregateOf(t[i].Kind);
            if (++i >= n) NotFound();
        }
        if (i + 1 < n && IsName(t[i]) && t[i + 1].Kind == K::Dot) {
            col.Alias = t[i].Text;
            i += 2;
            if (i >= n) NotFound();
        }
        const TVolgaToken& item = t[i];
        if (aggregate) {
            if (!IsName(item)) BadColumnToken(item);
        } else {
            switch (item.Kind) {
                case K::Identifier: col.Kind = TVolgaQColumnKind::Field; break;
                case K::Quoted:
                    col.Kind = TVolgaQColumnKind::Field;
                    col.Quoted = true;
                    break;
                case K::Star: col.Kind = TVolgaQColumnKind::Star; break;
                case K::Number: col.Kind = TVolgaQColumnKind::NumberConst; break;
                default: BadColumnToken(item);
            }
        }
        col.SourceName = item.Text;
        col.OutputName = aggregate ? AggregatePrefix(col.Kind) + item.Text : item.Text;
        std::string last = item.Text;
        ++i;
        if (i < n && Is(t[i], K::Reserved, "AS")) {
            if (++i >= n) NotFound();
            if (!IsName(t[i])) BadColumnToken(t[i]);
            col.OutputName = t[i].Text;
            col.HasAs = true;
            last = t[i].Text;
            ++i;
        }
        st.Columns.push_back(std::move(col));
        if (i >= n) NotFound();
        if (t[i].Kind == K::Comma) {
            ++i;
            continue;
        }
        if (Is(t[i], K::Reserved, "FROM")) {
            ++i;
            break;
        }
        throw EVolgaError(
            VolgaFormat("After %s , invalid token %s is found", last.c_str(), t[i].Text.c_str()));
    }

    // Tables, then WHERE and GROUP BY.
    if (i >= n) NotFound();
    for (;;) {
        if (i >= n) BadFromToken(t[i - 1]);  // a list ending in ","
        if (!IsName(t[i])) BadFromToken(t[i]);
        TVolgaQSource src;
        src.TableName = t[i].Text;
        src.Alias = t[i].Text;
        ++i;
        if (i < n && IsName(t[i])) {
            src.Alias = t[i].Text;
            ++i;
        }
        st.Sources.push_back(std::move(src));
        if (i >= n) break;
        if (t[i].Kind == K::Comma) {
            ++i;
            continue;
        }
        if (Is(t[i], K::Reserved, "WHERE")) {
            size_t by = TVolgaParser::ParseConditions(t, i + 1, st.Conditions);
            if (by != 0) ParseGroupBy(t, by + 1, st.GroupBy);
            break;
        }
        if (Is(t[i], K::Reserved, "GROUP")) {
            if (i + 1 >= n || !Is(t[i + 1], K::Reserved, "BY")) BadGroupBy();
            ParseGroupBy(t, i + 2, st.GroupBy);
            break;
        }
        // JOIN clauses are not part of the language (tables are joined through WHERE
        // comparisons); a statement using one is refused rather than run without it.
        BadFromToken(t[i]);
    }
    if (st.Sources.empty() || st.Columns.empty()) NotFound();
    return st;
}
