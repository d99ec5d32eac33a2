#include "TVolgaFilter.h"

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaParser.h"
#include "VolgaCompare.h"
#include "VolgaConvert.h"

namespace {

bool IsIntegerGroup(TVolgaFieldType t) {
    return t == TVolgaFieldType::Integer || t == TVolgaFieldType::Date ||
           t == TVolgaFieldType::Time || t == TVolgaFieldType::AutoInc;
}
bool IsFloatGroup(TVolgaFieldType t) {
    return t == TVolgaFieldType::Double || t == TVolgaFieldType::Currency ||
           t == TVolgaFieldType::DateTime;
}

// Two fields of one record can be compared when their stored forms agree.
void CheckComparable(const TVolgaField& a, const TVolgaField& b) {
    if (a.DataType == b.DataType) return;
    if (IsIntegerGroup(a.DataType) && IsIntegerGroup(b.DataType)) return;
    if (IsFloatGroup(a.DataType) && IsFloatGroup(b.DataType)) return;
    throw EVolgaError("Types of compared fields are not equal");
}

bool IsLike(TVolgaCompareOp op) {
    return op == TVolgaCompareOp::Like || op == TVolgaCompareOp::NotLike;
}

// True when `buffer` has room for field `f` (a literal that was never prepared has none).
bool Holds(const TVolgaRecordData& buffer, const TVolgaField& f) {
    if (static_cast<size_t>(f.Offset) + f.DataSize > buffer.Bytes.size()) return false;
    return f.VarIndex < 0 || static_cast<size_t>(f.VarIndex) < buffer.Vars.size();
}

// A text field's value without copying it; other types go through their text form.
bool MatchesMask(const TVolgaMask& mask, const TVolgaField& f, const TVolgaRecordData& r,
                 const TVolgaFormatSettings& fmt) {
    switch (f.DataType) {
        case TVolgaFieldType::String:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
            if (f.VarIndex >= 0) return mask.Matches(r.Vars[static_cast<size_t>(f.VarIndex)]);
            break;
        case TVolgaFieldType::SmallStr: {
            const char* p = reinterpret_cast<const char*>(r.Bytes.data() + f.Offset);
            size_t len = 0;
            while (len < f.DataSize && p[len]) ++len;
            return mask.Matches(std::string_view(p, len));
        }
        default: break;
    }
    return mask.Matches(VolgaValueToText(f, r, fmt));
}

bool Decide(TVolgaCompareOp op, int r) {
    switch (op) {
        case TVolgaCompareOp::Equal: return r == 0;
        case TVolgaCompareOp::Greater: return r > 0;
        case TVolgaCompareOp::Less: return r < 0;
        case TVolgaCompareOp::GreaterEqual: return r >= 0;
        case TVolgaCompareOp::LessEqual: return r <= 0;
        case TVolgaCompareOp::NotEqual: return r != 0;
        default: return false;
    }
}

}  // namespace

void TVolgaFilter::SetText(std::string_view text, const TVolgaFormatSettings& fmt) {
    text_.clear();
    conditions_.clear();
    std::vector<TVolgaCField> parsed;
    std::vector<TVolgaToken> tokens = TVolgaParser::Tokenize(text, fmt.DecimalSeparator);
    // GROUP BY belongs to queries; a filter ends at the end of its text.
    if (TVolgaParser::ParseConditions(tokens, 0, parsed) != 0)
        throw EVolgaError("Error in comparison expression");
    text_ = std::string(text);
    conditions_ = std::move(parsed);
}

void TVolgaFilter::Prepare(const TVolgaCursor& cursor, const TVolgaFormatSettings& fmt) {
    for (TVolgaCField& c : conditions_) {
        c.Left = nullptr;
        c.Right = nullptr;
        c.Literal.clear();
        c.LiteralValue = TVolgaRecordData();
        c.Mask.reset();
    }
    for (TVolgaCField& c : conditions_) {
        const TVolgaField* left = cursor.FieldByName(c.LeftName);
        if (!left) throw EVolgaError(VolgaFormat("Field %s is not found", c.LeftName.c_str()));
        const TVolgaField* right = nullptr;
        if (c.RightKind == TVolgaTokenKind::Identifier) {
            right = cursor.FieldByName(c.RightText);
            if (!right)
                throw EVolgaError(VolgaFormat("Field %s is not found", c.RightText.c_str()));
        } else if (c.RightKind == TVolgaTokenKind::Quoted && !IsLike(c.Op)) {
            // A quoted name of a field compares with that field. A LIKE pattern stays a
            // pattern even when it spells a field name.
            right = cursor.FieldByName(c.RightText);
        }
        c.Left = left;
        if (right) {
            c.Right = right;
            if (!IsLike(c.Op) && c.Op != TVolgaCompareOp::OuterJoin) CheckComparable(*left, *right);
            continue;
        }
        c.Literal = c.RightText;
        c.LiteralValue = cursor.NewBuffer();
        VolgaTextToValue(*left, c.Literal, c.LiteralValue, fmt);
        if (IsLike(c.Op)) c.Mask = std::make_shared<TVolgaMask>(c.Literal);
    }
}

bool TVolgaFilter::Evaluate(const TVolgaRecordData& record, bool caseInsensitive,
                            const TVolgaFormatSettings& fmt) const {
    for (const TVolgaCField& c : conditions_)
        if (!EvaluateCondition(c, record, caseInsensitive, fmt)) return false;
    return true;
}

bool TVolgaFilter::EvaluateCondition(const TVolgaCField& c, const TVolgaRecordData& record,
                                     bool caseInsensitive, const TVolgaFormatSettings& fmt) {
    const TVolgaField* left = c.Left;
    if (!left || !Holds(record, *left)) return false;
    if (c.Op == TVolgaCompareOp::OuterJoin) return true;  // a join marker, not a test
    if (IsLike(c.Op)) {
        // Without a pattern (a field on the right) nothing matches.
        bool match = c.Mask && MatchesMask(*c.Mask, *left, record, fmt);
        return c.Op == TVolgaCompareOp::Like ? match : !match;
    }
    int r;
    if (c.Right) {
        if (!Holds(record, *c.Right)) return false;
        CheckComparable(*left, *c.Right);
        r = VolgaCompareFieldPair(*left, record, *c.Right, record, caseInsensitive);
    } else {
        if (!Holds(c.LiteralValue, *left)) return false;
        r = VolgaCompareValues(*left, record, c.LiteralValue, caseInsensitive);
    }
    return Decide(c.Op, r);
}
