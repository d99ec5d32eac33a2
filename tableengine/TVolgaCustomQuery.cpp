#include "TVolgaCustomQuery.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaFilter.h"
#include "TVolgaParser.h"
#include "VolgaCompare.h"
#include "VolgaConvert.h"
#include "VolgaText.h"

namespace {

using K = TVolgaTokenKind;
using Op = TVolgaCompareOp;

// A join that would make more rows than this is refused rather than exhausting memory.
constexpr size_t kMaxResultRows = 2000000;
// Longest field description section a table image may have.
constexpr size_t kMaxSectionLength = 99999;

[[noreturn]] void Fail(const std::string& message) { throw EVolgaError(message); }

[[noreturn]] void NotInTable(const std::string& field, const std::string& table) {
    Fail(VolgaFormat("Field %s is not found in table %s", field.c_str(), table.c_str()));
}

[[noreturn]] void NotBelong(const std::string& alias, const std::string& name) {
    Fail(VolgaFormat("Field %s.%s is not belong to any table in FROM part", alias.c_str(),
                     name.c_str()));
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= names.size()) {
        size_t end = names.find(';', pos);
        if (end == std::string::npos) end = names.size();
        std::string n = VolgaTrim(std::string_view(names).substr(pos, end - pos));
        if (!n.empty()) out.push_back(n);
        pos = end + 1;
    }
    return out;
}

bool IsTextType(TVolgaFieldType t) {
    return t == TVolgaFieldType::SmallStr || t == TVolgaFieldType::String ||
           t == TVolgaFieldType::Memo || t == TVolgaFieldType::FmtMemo;
}
bool IsIntClass(TVolgaFieldType t) {
    return t == TVolgaFieldType::SmallInt || t == TVolgaFieldType::Integer ||
           t == TVolgaFieldType::Int64 || t == TVolgaFieldType::Date ||
           t == TVolgaFieldType::Time || t == TVolgaFieldType::AutoInc;
}
bool IsFloatClass(TVolgaFieldType t) {
    return t == TVolgaFieldType::Double || t == TVolgaFieldType::Currency ||
           t == TVolgaFieldType::DateTime;
}
bool IsSummable(TVolgaFieldType t) {
    return t == TVolgaFieldType::SmallInt || t == TVolgaFieldType::Integer ||
           t == TVolgaFieldType::Int64 || t == TVolgaFieldType::AutoInc ||
           t == TVolgaFieldType::Double || t == TVolgaFieldType::Currency;
}
bool IsLikeOp(Op op) { return op == Op::Like || op == Op::NotLike; }

// The rule a filter applies to two fields of one record.
void CheckComparable(const TVolgaField& a, const TVolgaField& b) {
    auto intGroup = [](TVolgaFieldType t) {
        return t == TVolgaFieldType::Integer || t == TVolgaFieldType::Date ||
               t == TVolgaFieldType::Time || t == TVolgaFieldType::AutoInc;
    };
    if (a.DataType == b.DataType) return;
    if (intGroup(a.DataType) && intGroup(b.DataType)) return;
    if (IsFloatClass(a.DataType) && IsFloatClass(b.DataType)) return;
    Fail("Types of compared fields are not equal");
}

// Join keys of two tables: numbers with numbers, texts with texts, Booleans with Booleans.
void CheckJoinable(const TVolgaField& a, const TVolgaField& b) {
    bool numA = IsIntClass(a.DataType) || IsFloatClass(a.DataType);
    bool numB = IsIntClass(b.DataType) || IsFloatClass(b.DataType);
    if (numA && numB) return;
    if (IsTextType(a.DataType) && IsTextType(b.DataType)) return;
    if (a.DataType == TVolgaFieldType::Boolean && b.DataType == TVolgaFieldType::Boolean) return;
    Fail("Types of compared fields are not equal");
}

bool Decide(Op op, int r) {
    switch (op) {
        case Op::Equal: return r == 0;
        case Op::Greater: return r > 0;
        case Op::Less: return r < 0;
        case Op::GreaterEqual: return r >= 0;
        case Op::LessEqual: return r <= 0;
        case Op::NotEqual: return r != 0;
        default: return false;
    }
}

// The text of a text field without copying it; false when the buffer has no room for it.
bool TextOf(const TVolgaField& f, const TVolgaRecordData& r, std::string_view& out) {
    if (f.VarIndex >= 0) {
        if (static_cast<size_t>(f.VarIndex) >= r.Vars.size()) return false;
        out = r.Vars[static_cast<size_t>(f.VarIndex)];
        return true;
    }
    if (static_cast<size_t>(f.Offset) + f.DataSize > r.Bytes.size()) return false;
    const char* p = reinterpret_cast<const char*>(r.Bytes.data() + f.Offset);
    out = std::string_view(p, strnlen(p, f.DataSize));
    return true;
}

template <typename T>
int Cmp(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// A total order for doubles: NaN after every number, equal to itself (sorting needs one).
int CmpDouble(double a, double b) {
    bool na = std::isnan(a), nb = std::isnan(b);
    if (na || nb) return na == nb ? 0 : (na ? 1 : -1);
    return Cmp(a, b);
}

// Orders the values of two joinable fields (or of one field in two records): integers exactly,
// mixed numbers as doubles, texts by bytes, true before false.
int KeyCompare(const TVolgaField& fa, const TVolgaRecordData& a, const TVolgaField& fb,
               const TVolgaRecordData& b) {
    if (IsIntClass(fa.DataType) && IsIntClass(fb.DataType)) return Cmp(fa.GetInt(a), fb.GetInt(b));
    if ((IsIntClass(fa.DataType) || IsFloatClass(fa.DataType)) &&
        (IsIntClass(fb.DataType) || IsFloatClass(fb.DataType)))
        return CmpDouble(fa.GetFloat(a), fb.GetFloat(b));
    if (IsTextType(fa.DataType) && IsTextType(fb.DataType)) {
        std::string_view x, y;
        TextOf(fa, a, x);
        TextOf(fb, b, y);
        return VolgaCompareText(x, y, false);
    }
    if (fa.DataType == TVolgaFieldType::Boolean && fb.DataType == TVolgaFieldType::Boolean) {
        bool x = fa.GetBool(a), y = fb.GetBool(b);
        return x == y ? 0 : (x ? -1 : 1);
    }
    return 0;
}

bool RowPasses(const std::vector<TVolgaQRowCondition>& conditions, const TVolgaRecordData& d,
               bool ci, const TVolgaFormatSettings& fmt) {
    for (const TVolgaQRowCondition& rc : conditions) {
        const TVolgaCField& c = rc.C;
        if (!rc.TextLiteral) {
            if (!TVolgaFilter::EvaluateCondition(c, d, ci, fmt)) return false;
            continue;
        }
        // Text fields are compared with the whole literal, not with the literal cut to the
        // field's length (a longer text can never equal the field), and without copying.
        std::string_view v;
        if (!TextOf(*c.Left, d, v)) return false;
        bool ok;
        if (IsLikeOp(c.Op)) {
            bool match = c.Mask && c.Mask->Matches(v);
            ok = c.Op == Op::Like ? match : !match;
        } else if (c.Op == Op::OuterJoin) {
            ok = true;
        } else {
            ok = Decide(c.Op, VolgaCompareText(v, c.Literal, ci));
        }
        if (!ok) return false;
    }
    return true;
}

void Bind(std::vector<TVolgaQRowCondition>& conditions, const TVolgaCursor& c) {
    for (TVolgaQRowCondition& rc : conditions) {
        rc.C.Left = c.Field(rc.LeftField);
        rc.C.Right = rc.RightField >= 0 ? c.Field(rc.RightField) : nullptr;
    }
}

// Copies the value of `from` (in `src`) to `to` (in `dst`); both fields have the same type.
void CopyValue(const TVolgaField& from, const TVolgaRecordData& src, const TVolgaField& to,
               TVolgaRecordData& dst) {
    if (from.VarIndex >= 0) {
        if (static_cast<size_t>(from.VarIndex) < src.Vars.size() && to.VarIndex >= 0)
            dst.Vars[static_cast<size_t>(to.VarIndex)] = src.Vars[static_cast<size_t>(from.VarIndex)];
        return;
    }
    if (static_cast<size_t>(from.Offset) + from.DataSize > src.Bytes.size()) return;
    std::memcpy(dst.Bytes.data() + to.Offset, src.Bytes.data() + from.Offset,
                std::min(from.DataSize, to.DataSize));
}

char TypeChar(TVolgaFieldType t) {
    switch (t) {
        case TVolgaFieldType::SmallInt: return 'l';
        case TVolgaFieldType::Integer: return 'i';
        case TVolgaFieldType::Int64: return 'e';
        case TVolgaFieldType::Boolean: return 'b';
        case TVolgaFieldType::Double: return 'f';
        case TVolgaFieldType::Currency: return 'c';
        case TVolgaFieldType::Date: return 'd';
        case TVolgaFieldType::Time: return 'v';
        case TVolgaFieldType::DateTime: return 't';
        case TVolgaFieldType::AutoInc: return 'a';
        case TVolgaFieldType::BLOB: return 'o';
        case TVolgaFieldType::Memo: return 'm';
        case TVolgaFieldType::FmtMemo: return 'r';
        case TVolgaFieldType::Graphic: return 'g';
        default: return 's';
    }
}

// A name as a field description entry can hold it: no blanks or control characters (and, for
// an alias, no dot).
std::string EntryName(const std::string& name, bool alias) {
    std::string out = name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) <= ' ' || (alias && c == '.')) c = '_';
    if (out.empty()) out = alias ? "XXX" : "_";
    return out;
}

// A number as statement text, with the system's decimal separator.
std::string NumberText(double v, char decimalSeparator) {
    if (!std::isfinite(v)) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    if (s.find('e') != std::string::npos) {
        // The statement language has no exponents.
        std::snprintf(buf, sizeof buf, "%.20f", v);
        s = buf;
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    for (char& c : s)
        if (c == '.') c = decimalSeparator;
    return s;
}

std::string Quote(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    q += '"';
    return q;
}

bool IsParamStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsParamChar(char c) { return IsParamStart(c) || (c >= '0' && c <= '9'); }

// Calls `f(begin, end)` for every ":name" outside quoted texts (begin at the colon).
template <typename F>
void ForEachPlaceholder(const std::string& s, F f) {
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (c == ':' && i + 1 < s.size() && IsParamStart(s[i + 1])) {
            size_t j = i + 1;
            while (j < s.size() && IsParamChar(s[j])) ++j;
            f(i, j);
            i = j - 1;
        }
    }
}

// The fields of a table while the query is evaluated: its dataset's, its loaded cursor's, or
// those of the header read before loading.
const TVolgaCursor& FieldsOf(const TVolgaQTable& t, const std::unique_ptr<TVolgaCursor>& header) {
    if (!t.FileBased) return *t.Dataset->Cursor();
    return t.Cursor ? *t.Cursor : *header;
}

// A table image holding only the records that pass the conditions, made without building a
// record object per record: the records are read into one reusable buffer (only the fields the
// conditions look at are copied) and the passing ones are copied as they are. It applies the
// cursor's own rules for a record; anything unusual (a protected table, a damaged record, fewer
// records than declared) returns false, and the table is then loaded the ordinary way, which
// reports the fault in the cursor's words.
bool FilterImage(std::string_view image, const TVolgaCursor& fields,
                 const std::vector<TVolgaQRowCondition>& conditions, bool ci,
                 const TVolgaFormatSettings& fmt, std::string& out) {
    constexpr int32_t kMaxString = 8191, kMaxBlob = 1073741823;
    auto u32 = [&](size_t at, uint32_t& v) {
        if (image.size() < at + 4) return false;
        std::memcpy(&v, image.data() + at, 4);
        return true;
    };
    uint32_t declared, fieldCount, sectionLength;
    if (image.size() < 5 || image[4] != 'S' || !u32(5, declared) || !u32(9, fieldCount) ||
        !u32(13, sectionLength))
        return false;
    const size_t n = fieldCount;
    if (n == 0 || n != static_cast<size_t>(fields.FieldCount())) return false;
    size_t pos = 17 + static_cast<size_t>(sectionLength);
    if (pos > image.size()) return false;
    // The notes block, found as the cursor finds it.
    bool notes = false;
    const size_t left0 = image.size() - pos;
    if (left0 >= (declared == 0 ? 3 : n) && left0 >= 1 && image[pos] == '*') {
        int16_t len;
        if (left0 < 3) return false;
        std::memcpy(&len, image.data() + pos + 1, 2);
        if (len < 0 || left0 - 3 < static_cast<size_t>(len)) return false;
        pos += 3 + static_cast<size_t>(len);
        notes = true;
    }
    const size_t prefix = pos;

    // What the loop needs of each field, in one flat array.
    struct Slot {
        int32_t Offset;
        int32_t VarIndex;  // -1 for fixed-size fields
        int32_t MaxCount;  // String and BLOB family: the longest value
        uint16_t DataSize;
        bool Needed;
    };
    std::vector<Slot> slots(n);
    for (size_t i = 0; i < n; ++i) {
        const TVolgaField& f = *fields.Field(static_cast<int>(i));
        const bool var = IsVarType(f.DataType);
        slots[i] = {f.Offset, var ? f.VarIndex : -1,
                    f.DataType == TVolgaFieldType::String ? kMaxString : kMaxBlob, f.DataSize, false};
    }
    for (const TVolgaQRowCondition& rc : conditions) {
        slots[static_cast<size_t>(rc.LeftField)].Needed = true;
        if (rc.RightField >= 0) slots[static_cast<size_t>(rc.RightField)].Needed = true;
    }
    TVolgaRecordData scratch = fields.NewBuffer();
    std::string records;
    uint32_t accepted = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
    for (uint32_t r = 0; r < declared; ++r) {
        if (image.size() - pos < n) return false;
        const uint8_t* header = bytes + pos;
        size_t p = pos + n;
        std::fill(scratch.Bytes.begin(), scratch.Bytes.end(), 0);
        for (size_t i = 0; i < n; ++i) {
            const Slot& f = slots[i];
            const uint8_t len = header[i];
            if (f.VarIndex < 0) {
                if (len > f.DataSize || image.size() - p < len) return false;
                if (f.Needed && len) std::memcpy(scratch.Bytes.data() + f.Offset, bytes + p, len);
                p += len;
                continue;
            }
            if (f.Needed) scratch.Vars[static_cast<size_t>(f.VarIndex)].clear();
            if (len == 0) continue;
            int32_t count;
            if (len != 4 || image.size() - p < 4) return false;
            std::memcpy(&count, bytes + p, 4);
            p += 4;
            if (count < 0 || count > f.MaxCount || image.size() - p < static_cast<size_t>(count))
                return false;
            if (f.Needed)
                scratch.Vars[static_cast<size_t>(f.VarIndex)].assign(image.data() + p,
                                                                     static_cast<size_t>(count));
            p += static_cast<size_t>(count);
        }
        if (RowPasses(conditions, scratch, ci, fmt)) {
            records.append(image.data() + pos, p - pos);
            ++accepted;
        }
        pos = p;
    }
    out.assign(image.data(), prefix);
    std::memcpy(out.data() + 5, &accepted, 4);
    // Without a notes block, a first record whose first header byte is the notes marker would
    // read as one: an empty block goes before it (as saving does).
    if (!notes && !records.empty() && records[0] == '*') out.append("*\0\0", 3);
    out += records;
    uint32_t total = static_cast<uint32_t>(out.size());
    std::memcpy(out.data(), &total, 4);
    return true;
}

// The file of a table name in `dir`: the name as given, then with ".d" appended, then the same
// two ignoring letter case. Empty when there is none.
std::string FindTableFile(TVolgaEnv* env, const std::string& dir, const std::string& name) {
    const std::string withExt = name + ".d";
    if (env->FileExists(dir + name)) return dir + name;
    if (env->FileExists(dir + withExt)) return dir + withExt;
    std::error_code ec;
    std::filesystem::directory_iterator it(dir.empty() ? std::string(".") : dir, ec), end;
    std::string plain, extended;
    for (; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (plain.empty() && VolgaSameTextCI(entry, name)) plain = entry;
        if (extended.empty() && VolgaSameTextCI(entry, withExt)) extended = entry;
    }
    if (!plain.empty() && env->FileExists(dir + plain)) return dir + plain;
    if (!extended.empty() && env->FileExists(dir + extended)) return dir + extended;
    return std::string();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Properties

TVolgaCustomQuery::TVolgaCustomQuery(TVolgaDatabase* database) : TVolgaDataset(database) {}

TVolgaCustomQuery::~TVolgaCustomQuery() {
    try {
        Close();
    } catch (...) {
    }
}

void TVolgaCustomQuery::SetSQL(const std::string& text) {
    if (text == sql_) return;
    Close();
    Unprepare();
    sql_ = text;
    std::vector<TVolgaQParam> old = std::move(params_);
    params_.clear();
    ForEachPlaceholder(sql_, [&](size_t b, size_t e) {
        std::string name = sql_.substr(b + 1, e - b - 1);
        for (const TVolgaQParam& p : params_)
            if (VolgaSameTextCI(p.Name, name)) return;
        TVolgaQParam p;
        p.Name = name;
        for (const TVolgaQParam& o : old)
            if (VolgaSameTextCI(o.Name, name)) p = o;
        params_.push_back(std::move(p));
    });
}

TVolgaQParam* TVolgaCustomQuery::FindParam(const std::string& name) {
    for (TVolgaQParam& p : params_)
        if (VolgaSameTextCI(p.Name, name)) return &p;
    return nullptr;
}

TVolgaQParam& TVolgaCustomQuery::ParamByName(const std::string& name) {
    TVolgaQParam* p = FindParam(name);
    if (!p) Error(VolgaFormat("Parameter '%s' not found", name.c_str()));
    return *p;
}

TVolgaDataset* TVolgaCustomQuery::QueryDataset(const std::string&) const { return nullptr; }
std::string TVolgaCustomQuery::TablePassword() const { return std::string(); }

int TVolgaCustomQuery::TableIndex(const std::string& alias) const {
    for (size_t i = 0; i < tables_.size(); ++i)
        if (VolgaSameTextCI(tables_[i].Alias, alias)) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Preparing

std::string TVolgaCustomQuery::SubstituteParams() const {
    const TVolgaFormatSettings& fmt = FormatSettings();
    TVolgaFormatSettings dateFmt = fmt;
    dateFmt.ShortDateFormat = Database() ? Database()->DateFormat : std::string("mm/dd/yyyy");
    auto valueText = [&](const TVolgaQParam& p) -> std::string {
        const TVolgaValue& v = p.Value;
        TFieldType type = p.DataType;
        if (type == TFieldType::ftUnknown) {
            // No declared kind: the value's own.
            switch (v.kind()) {
                case TVolgaValue::Kind::Text: type = TFieldType::ftString; break;
                case TVolgaValue::Kind::Int: type = TFieldType::ftLargeint; break;
                case TVolgaValue::Kind::Float: type = TFieldType::ftFloat; break;
                case TVolgaValue::Kind::Bool: type = TFieldType::ftBoolean; break;
                case TVolgaValue::Kind::DateTime: type = TFieldType::ftDateTime; break;
                case TVolgaValue::Kind::Null: break;
            }
        }
        const bool text = type == TFieldType::ftString || type == TFieldType::ftMemo ||
                          type == TFieldType::ftFmtMemo;
        if (v.IsNull()) return text ? std::string("\"\"") : std::string("Null");
        switch (type) {
            case TFieldType::ftDate:
            case TFieldType::ftTime:
            case TFieldType::ftDateTime: {
                // A text value is passed on as it is (it is read with the system's formats).
                if (v.kind() == TVolgaValue::Kind::Text) return Quote(v.AsText(fmt));
                TDateTime d = v.AsFloat();
                if (type == TFieldType::ftDate) return Quote(dateFmt.FormatDate(d));
                if (type == TFieldType::ftTime) return Quote(fmt.FormatTime(d));
                return Quote(dateFmt.FormatDate(d) + " " + fmt.FormatTime(d));
            }
            case TFieldType::ftSmallint:
            case TFieldType::ftInteger:
            case TFieldType::ftWord:
            case TFieldType::ftLargeint:
            case TFieldType::ftAutoInc: return std::to_string(v.AsInt());
            case TFieldType::ftFloat:
            case TFieldType::ftCurrency: return NumberText(v.AsFloat(), fmt.DecimalSeparator);
            case TFieldType::ftBoolean: return v.AsBool() ? "TRUE" : "FALSE";
            default: return Quote(v.AsText(fmt));
        }
    };
    std::string out;
    size_t copied = 0;
    ForEachPlaceholder(sql_, [&](size_t b, size_t e) {
        out.append(sql_, copied, b - copied);
        std::string name = sql_.substr(b + 1, e - b - 1);
        const TVolgaQParam* param = nullptr;
        for (const TVolgaQParam& p : params_)
            if (VolgaSameTextCI(p.Name, name)) param = &p;
        out += param ? valueText(*param) : std::string("Null");
        copied = e;
    });
    out.append(sql_, copied, std::string::npos);
    return out;
}

void TVolgaCustomQuery::Prepare() {
    if (prepared_) return;
    try {
        PrepareInternal();
    } catch (const EVolgaError& e) {
        Unprepare();
        Error(e.what());
    }
}

void TVolgaCustomQuery::Unprepare() {
    ReleaseTables();
    prepared_ = false;
    preparedText_.clear();
    statement_ = TVolgaQStatement();
    tables_.clear();
    joins_.clear();
    columns_.clear();
    originTable_ = -1;
    folds_ = false;
}

void TVolgaCustomQuery::PrepareInternal() {
    Unprepare();
    if (VolgaTrim(sql_).empty()) Fail("SQL statement is empty");
    preparedText_ = SubstituteParams();
    const TVolgaFormatSettings& fmt = FormatSettings();
    statement_ = TVolgaQStatement::Parse(TVolgaParser::Tokenize(preparedText_, fmt.DecimalSeparator));
    TVolgaQStatement& st = statement_;
    folds_ = st.Folds();

    // Tables and aliases.
    const std::string dir = Database() ? Database()->DatabasePath() : std::string();
    TVolgaEnv* env = (Database() && Database()->Env) ? Database()->Env : TVolgaEnv::Default();
    for (const TVolgaQSource& src : st.Sources) {
        for (const TVolgaQTable& t : tables_)
            if (VolgaSameTextCI(t.Alias, src.Alias))
                Fail(VolgaFormat("Invalid token %s in FROM part of SELECT statement",
                                 src.Alias.c_str()));
        TVolgaQTable t;
        t.Name = src.TableName;
        t.Alias = src.Alias;
        t.Dataset = QueryDataset(src.Alias);
        if (t.Dataset == this) t.Dataset = nullptr;
        if (!t.Dataset) {
            t.FileBased = true;
            std::string name = t.Name;
            // Like a table's name, only the file name counts when the database has a folder.
            if (!dir.empty()) {
                size_t slash = name.rfind('/');
                if (slash != std::string::npos) name = name.substr(slash + 1);
            }
            t.Path = FindTableFile(env, dir, name);
            if (t.Path.empty()) t.Path = dir + name;  // reported when the tables are read
        }
        tables_.push_back(std::move(t));
    }
    const std::string firstAlias = tables_[0].Alias;
    auto checkAlias = [&](std::string& alias, const std::string& name) {
        if (alias.empty()) alias = firstAlias;
        else if (TableIndex(alias) < 0) NotBelong(alias, name);
    };
    for (TVolgaQColumn& c : st.Columns) checkAlias(c.Alias, c.SourceName);
    for (TVolgaCField& c : st.Conditions) {
        checkAlias(c.LeftAlias, c.LeftName);
        if (!c.RightAlias.empty() && TableIndex(c.RightAlias) < 0) NotBelong(c.RightAlias, c.RightText);
    }
    for (TVolgaQGroupField& g : st.GroupBy) checkAlias(g.Alias, g.Name);

    // The updatable origin, moved to the front.
    if (!Origin.empty() && !SplitNames(UniqueFieldNames).empty() && !folds_) {
        int o = TableIndex(Origin);
        if (o >= 0 && tables_[static_cast<size_t>(o)].FileBased) {
            tables_[static_cast<size_t>(o)].Origin = true;
            std::rotate(tables_.begin(), tables_.begin() + o, tables_.begin() + o + 1);
            originTable_ = 0;
        }
    }

    // Grouping.
    if (st.Distinct)
        for (TVolgaQColumn& c : st.Columns) c.Grouping = true;
    for (const TVolgaQGroupField& g : st.GroupBy) {
        TVolgaQColumn* found = nullptr;
        for (TVolgaQColumn& c : st.Columns) {
            if (!VolgaSameTextCI(c.Alias, g.Alias)) continue;
            if (VolgaSameTextCI(c.OutputName, g.Name) ||
                (!IsAggregateKind(c.Kind) && VolgaSameTextCI(c.SourceName, g.Name))) {
                found = &c;
                break;
            }
        }
        if (!found || IsAggregateKind(found->Kind))
            Fail(VolgaFormat("Invalid field %s in GROUP BY clause", g.Name.c_str()));
        found->Grouping = true;
    }
    if (folds_) {
        for (const TVolgaQColumn& c : st.Columns)
            if (!IsAggregateKind(c.Kind) && !c.Grouping)
                Fail(VolgaFormat("Field %s.%s is not in GROUP BY clause or in aggregate function",
                                 c.Alias.c_str(), c.SourceName.c_str()));
    }

    // Row conditions and join links.
    for (const TVolgaCField& c : st.Conditions) {
        int lt = TableIndex(c.LeftAlias);
        int rt = lt;
        if (!c.RightAlias.empty() &&
            (c.RightKind == K::Identifier || c.RightKind == K::Quoted))
            rt = TableIndex(c.RightAlias);
        if (rt == lt) {
            TVolgaQRowCondition rc;
            rc.C = c;
            tables_[static_cast<size_t>(lt)].Conditions.push_back(std::move(rc));
            continue;
        }
        if (c.Op != Op::Equal && c.Op != Op::OuterJoin) Fail("Unsupported join type");
        const bool outer = c.Op == Op::OuterJoin;
        TVolgaQJoin* link = nullptr;
        bool reversed = false;
        for (TVolgaQJoin& j : joins_) {
            if (j.LeftTable == lt && j.RightTable == rt) link = &j;
            if (j.LeftTable == rt && j.RightTable == lt) {
                link = &j;
                reversed = true;
            }
        }
        if (!link) {
            TVolgaQJoin j;
            j.LeftTable = lt;
            j.RightTable = rt;
            j.LeftAlias = tables_[static_cast<size_t>(lt)].Alias;
            j.RightAlias = tables_[static_cast<size_t>(rt)].Alias;
            joins_.push_back(std::move(j));
            link = &joins_.back();
        }
        if (reversed && outer) {
            // The link keeps the other table's rows: possible only while it is still inner.
            if (link->Outer) Fail("Unsupported join type");
            std::swap(link->LeftTable, link->RightTable);
            std::swap(link->LeftAlias, link->RightAlias);
            std::swap(link->LeftFields, link->RightFields);
            reversed = false;
        }
        if (outer) link->Outer = true;
        if (reversed) {
            link->LeftFields.push_back(c.RightText);
            link->RightFields.push_back(c.LeftName);
        } else {
            link->LeftFields.push_back(c.LeftName);
            link->RightFields.push_back(c.RightText);
        }
    }
    prepared_ = true;
}

// ---------------------------------------------------------------------------------------------
// Evaluating

void TVolgaCustomQuery::ReleaseTables() {
    for (TVolgaQTable& t : tables_) t.Cursor.reset();
    headers_.clear();
    images_.clear();
}

void TVolgaCustomQuery::ReadTables() {
    TVolgaEnv* env = (Database() && Database()->Env) ? Database()->Env : TVolgaEnv::Default();
    headers_.clear();
    images_.clear();
    headers_.resize(tables_.size());
    images_.resize(tables_.size());
    for (size_t i = 0; i < tables_.size(); ++i) {
        TVolgaQTable& t = tables_[i];
        if (!t.FileBased) {
            if (!t.Dataset->Active()) t.Dataset->Open();
            continue;
        }
        std::string error;
        if (!env->FileExists(t.Path) || !images_[i].Load(env, t.Path, error))
            Fail(VolgaFormat("Error opening file %s", t.Path.c_str()));
        headers_[i] = std::make_unique<TVolgaCursor>();
        std::string message;
        if (!headers_[i]->LoadHeader(images_[i].View(), message))
            Fail("Error opening table: " + message);
    }
}

void TVolgaCustomQuery::ResolveColumns() {
    columns_.clear();
    for (const TVolgaQColumn& sc : statement_.Columns) {
        const int ti = TableIndex(sc.Alias);
        const TVolgaQTable& t = tables_[static_cast<size_t>(ti)];
        const TVolgaCursor& fields = FieldsOf(t, headers_[static_cast<size_t>(ti)]);
        auto fromField = [&](TVolgaQColumn& c, const TVolgaField& f) {
            c.Table = ti;
            c.SourceField = f.Index;
            c.Type = f.DataType;
            c.Size = f.Size;
            c.DefaultValue = f.DefaultValue;
        };
        if (sc.Kind == TVolgaQColumnKind::Star) {
            for (int i = 0; i < fields.FieldCount(); ++i) {
                const TVolgaField& f = *fields.Field(i);
                TVolgaQColumn c = sc;
                c.Kind = TVolgaQColumnKind::Field;
                c.Alias = t.Alias;
                c.SourceName = f.Name;
                c.OutputName = f.Name;
                fromField(c, f);
                columns_.push_back(std::move(c));
            }
            continue;
        }
        TVolgaQColumn c = sc;
        if (c.Kind == TVolgaQColumnKind::NumberConst) {
            c.Type = TVolgaFieldType::Double;
            columns_.push_back(std::move(c));
            continue;
        }
        const TVolgaField* f = fields.FieldByName(sc.SourceName);
        if (!f) {
            if (c.Kind == TVolgaQColumnKind::Field && c.Quoted) {
                c.Kind = TVolgaQColumnKind::TextConst;
                const int len = static_cast<int>(std::min<size_t>(c.SourceName.size(), 8191));
                c.Size = len;
                c.Type = len <= 35 ? TVolgaFieldType::SmallStr : TVolgaFieldType::String;
                columns_.push_back(std::move(c));
                continue;
            }
            NotInTable(sc.SourceName, t.Name);
        }
        fromField(c, *f);
        switch (c.Kind) {
            case TVolgaQColumnKind::Count:
                c.Type = TVolgaFieldType::Integer;
                c.Size = 0;
                break;
            case TVolgaQColumnKind::Sum:
            case TVolgaQColumnKind::Avg:
                if (!IsSummable(f->DataType))
                    Fail(VolgaFormat("Field %s cannot be used in aggregate function %s",
                                     f->Name.c_str(),
                                     c.Kind == TVolgaQColumnKind::Sum ? "SUM" : "AVG"));
                // Sums of integers and every average are floats (no overflow, no truncation);
                // Int64, Double and Currency sums keep their type.
                if (c.Kind == TVolgaQColumnKind::Avg ||
                    (f->DataType != TVolgaFieldType::Int64 && !IsFloatClass(f->DataType)))
                    c.Type = TVolgaFieldType::Double;
                c.Size = 0;
                break;
            default: break;
        }
        if (IsAggregateKind(c.Kind)) c.DefaultValue.clear();
        columns_.push_back(std::move(c));
    }
    // Output names: as a description entry holds them, then unique ("_1" appended while one
    // clashes with an earlier column).
    for (size_t i = 0; i < columns_.size(); ++i) {
        std::string name = EntryName(columns_[i].OutputName, false);
        auto taken = [&](const std::string& n) {
            for (size_t k = 0; k < i; ++k)
                if (VolgaSameTextCI(columns_[k].OutputName, n)) return true;
            return false;
        };
        while (taken(name)) name += "_1";
        columns_[i].OutputName = name;
    }
}

void TVolgaCustomQuery::ResolveConditions() {
    const TVolgaFormatSettings& fmt = FormatSettings();
    for (size_t ti = 0; ti < tables_.size(); ++ti) {
        TVolgaQTable& t = tables_[ti];
        const TVolgaCursor& fields = FieldsOf(t, headers_[ti]);
        for (TVolgaQRowCondition& rc : t.Conditions) {
            TVolgaCField& c = rc.C;
            const TVolgaField* left = fields.FieldByName(c.LeftName);
            if (!left) NotInTable(c.LeftName, t.Name);
            const TVolgaField* right = nullptr;
            // A quoted right side is a literal unless an alias and a dot precede it.
            if (c.RightKind == K::Identifier || (c.RightKind == K::Quoted && !c.RightAlias.empty())) {
                right = fields.FieldByName(c.RightText);
                if (!right) NotInTable(c.RightText, t.Name);
            }
            rc.LeftField = left->Index;
            rc.RightField = right ? right->Index : -1;
            c.Left = left;
            c.Right = right;
            c.Literal.clear();
            c.Mask.reset();
            c.LiteralValue = TVolgaRecordData();
            rc.TextLiteral = false;
            if (right) {
                // LIKE against a field has no pattern: it matches nothing.
                if (!IsLikeOp(c.Op) && c.Op != Op::OuterJoin) CheckComparable(*left, *right);
                continue;
            }
            c.Literal = c.RightText;
            c.LiteralValue = fields.NewBuffer();
            VolgaTextToValue(*left, c.Literal, c.LiteralValue, fmt);
            if (IsLikeOp(c.Op)) c.Mask = std::make_shared<TVolgaMask>(c.Literal);
            rc.TextLiteral = IsTextType(left->DataType);
        }
        // All must hold, so the order is free: plain comparisons are cheaper than patterns.
        std::stable_partition(t.Conditions.begin(), t.Conditions.end(),
                              [](const TVolgaQRowCondition& rc) { return !IsLikeOp(rc.C.Op); });
    }
}

void TVolgaCustomQuery::ResolveJoins() {
    for (TVolgaQJoin& j : joins_) {
        const TVolgaQTable& lt = tables_[static_cast<size_t>(j.LeftTable)];
        const TVolgaQTable& rt = tables_[static_cast<size_t>(j.RightTable)];
        const TVolgaCursor& lf = FieldsOf(lt, headers_[static_cast<size_t>(j.LeftTable)]);
        const TVolgaCursor& rf = FieldsOf(rt, headers_[static_cast<size_t>(j.RightTable)]);
        j.LeftIndex.clear();
        j.RightIndex.clear();
        for (size_t k = 0; k < j.LeftFields.size(); ++k) {
            const TVolgaField* a = lf.FieldByName(j.LeftFields[k]);
            if (!a) NotInTable(j.LeftFields[k], lt.Name);
            const TVolgaField* b = rf.FieldByName(j.RightFields[k]);
            if (!b) NotInTable(j.RightFields[k], rt.Name);
            CheckJoinable(*a, *b);
            j.LeftIndex.push_back(a->Index);
            j.RightIndex.push_back(b->Index);
        }
    }
}

void TVolgaCustomQuery::LoadTables() {
    TVolgaEnv* env = (Database() && Database()->Env) ? Database()->Env : TVolgaEnv::Default();
    const bool ci = (SortOptions() & vsoCaseInsensitive) != 0;
    const TVolgaFormatSettings& fmt = FormatSettings();
    for (size_t i = 0; i < tables_.size(); ++i) {
        TVolgaQTable& t = tables_[i];
        if (!t.FileBased) {
            Bind(t.Conditions, *t.Dataset->Cursor());
            continue;
        }
        auto cursor = std::make_unique<TVolgaCursor>();
        cursor->Env = env;
        cursor->Password = TablePassword();
        bool filtering = !t.Origin && !t.Conditions.empty();
        const std::string_view image = images_[i].View();
        bool bound = false;
        std::string filtered;
        if (filtering && FilterImage(image, *headers_[i], t.Conditions, ci, fmt, filtered))
            filtering = false;  // the image holds the passing records only
        if (filtering) {
            // Rejected records are never kept.
            cursor->OnLoadRecord = [&](TVolgaCursor& c, TVolgaRecord& r) {
                if (!bound) {
                    Bind(t.Conditions, c);
                    bound = true;
                }
                return RowPasses(t.Conditions, r.Data, ci, fmt);
            };
        }
        std::string message;
        bool ok = cursor->LoadFromImage(filtered.empty() ? image : filtered, message);
        cursor->OnLoadRecord = nullptr;
        if (!ok) Fail("Error opening table: " + message);
        Bind(t.Conditions, *cursor);
        t.Cursor = std::move(cursor);
        images_[i].Release();
        headers_[i].reset();
    }
}

std::vector<TVolgaRecord*> TVolgaCustomQuery::Candidates(int table) const {
    const TVolgaQTable& t = tables_[static_cast<size_t>(table)];
    const TVolgaCursor& c = t.FileBased ? *t.Cursor : *t.Dataset->Cursor();
    // Non-origin file tables were filtered while they were loaded.
    const bool check = !t.Conditions.empty() && (!t.FileBased || t.Origin);
    const bool ci = (SortOptions() & vsoCaseInsensitive) != 0;
    const TVolgaFormatSettings& fmt = FormatSettings();
    std::vector<TVolgaRecord*> out;
    out.reserve(static_cast<size_t>(c.RecordCount()));
    for (const auto& rp : c.Records()) {
        if (!rp->IsLive()) continue;
        if (check && !RowPasses(t.Conditions, rp->Data, ci, fmt)) continue;
        out.push_back(rp.get());
    }
    return out;
}

void TVolgaCustomQuery::Merge(const TVolgaQJoin& j, std::vector<TVolgaRecord*>& tuples,
                              std::vector<char>& joined) const {
    const size_t width = tables_.size();
    const size_t L = static_cast<size_t>(j.LeftTable), R = static_cast<size_t>(j.RightTable);
    const TVolgaQTable& lt = tables_[L];
    const TVolgaQTable& rt = tables_[R];
    const TVolgaCursor& lc = lt.FileBased ? *lt.Cursor : *lt.Dataset->Cursor();
    const TVolgaCursor& rc = rt.FileBased ? *rt.Cursor : *rt.Dataset->Cursor();
    std::vector<const TVolgaField*> lf, rf;
    for (int x : j.LeftIndex) lf.push_back(lc.Field(x));
    for (int x : j.RightIndex) rf.push_back(rc.Field(x));
    auto cmpLR = [&](const TVolgaRecord* a, const TVolgaRecord* b) {
        for (size_t k = 0; k < lf.size(); ++k)
            if (int c = KeyCompare(*lf[k], a->Data, *rf[k], b->Data)) return c;
        return 0;
    };
    auto cmpSame = [](const std::vector<const TVolgaField*>& f, const TVolgaRecord* a,
                      const TVolgaRecord* b) {
        for (const TVolgaField* x : f)
            if (int c = KeyCompare(*x, a->Data, *x, b->Data)) return c;
        return 0;
    };

    // Tuples in left-key order (an empty left slot first: it matches nothing).
    const size_t count = tuples.size() / width;
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const TVolgaRecord* x = tuples[a * width + L];
        const TVolgaRecord* y = tuples[b * width + L];
        if (!x || !y) return !x && y;
        return cmpSame(lf, x, y) < 0;
    });
    std::vector<TVolgaRecord*> right = Candidates(j.RightTable);
    std::stable_sort(right.begin(), right.end(),
                     [&](const TVolgaRecord* a, const TVolgaRecord* b) { return cmpSame(rf, a, b) < 0; });

    std::vector<TVolgaRecord*> out;
    out.reserve(tuples.size());
    size_t r = 0;
    auto emit = [&](size_t tuple, TVolgaRecord* match) {
        if (out.size() / width >= kMaxResultRows) Fail("Query result is too large");
        out.insert(out.end(), tuples.begin() + static_cast<std::ptrdiff_t>(tuple * width),
                   tuples.begin() + static_cast<std::ptrdiff_t>((tuple + 1) * width));
        out[out.size() - width + R] = match;
    };
    for (size_t idx : order) {
        const TVolgaRecord* key = tuples[idx * width + L];
        if (!key) {
            if (j.Outer) emit(idx, nullptr);
            continue;
        }
        while (r < right.size() && cmpLR(key, right[r]) > 0) ++r;
        size_t e = r;
        while (e < right.size() && cmpLR(key, right[e]) == 0) ++e;
        if (e == r) {
            if (j.Outer) emit(idx, nullptr);
            continue;
        }
        for (size_t m = r; m < e; ++m) emit(idx, right[m]);
    }
    tuples.swap(out);
    joined[R] = 1;
}

void TVolgaCustomQuery::BuildTuples(std::vector<TVolgaRecord*>& tuples) const {
    const size_t width = tables_.size();
    std::vector<TVolgaRecord*> first = Candidates(0);
    tuples.assign(first.size() * width, nullptr);
    for (size_t i = 0; i < first.size(); ++i) tuples[i * width] = first[i];
    if (width == 1) return;
    const char* countError = "Number of joins must be equal to number of tables minus one";
    if (joins_.size() != width - 1) Fail(countError);
    std::vector<char> joined(width, 0);
    joined[0] = 1;
    std::vector<TVolgaQJoin> pending = joins_;
    while (!pending.empty()) {
        bool progressed = false;
        for (size_t k = 0; k < pending.size(); ++k) {
            TVolgaQJoin j = pending[k];
            const bool l = joined[static_cast<size_t>(j.LeftTable)] != 0;
            const bool r = joined[static_cast<size_t>(j.RightTable)] != 0;
            if (l == r) continue;
            if (r) {
                // Only the right table is in the rows yet: an inner link works either way.
                if (j.Outer) Fail("Unsupported join type");
                std::swap(j.LeftTable, j.RightTable);
                std::swap(j.LeftIndex, j.RightIndex);
            }
            Merge(j, tuples, joined);
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(k));
            progressed = true;
            break;
        }
        // Links that do not reach every table (two links between the same tables).
        if (!progressed) Fail(countError);
    }
}

std::unique_ptr<TVolgaCursor> TVolgaCustomQuery::BuildResult(
    const std::vector<TVolgaRecord*>& tuples) const {
    // The result's field descriptions.
    std::string section;
    for (const TVolgaQColumn& c : columns_) {
        section += EntryName(c.Alias, true);
        section += '.';
        section += c.OutputName;
        section += ' ';
        if (c.Type == TVolgaFieldType::SmallStr) {
            section += static_cast<char>(c.Size < 10 ? '0' + c.Size : 'A' + (c.Size - 10));
        } else {
            section += TypeChar(c.Type);
            if (c.Type == TVolgaFieldType::String) section += std::to_string(c.Size);
        }
        if (!c.DefaultValue.empty()) {
            section += '~';
            section += c.DefaultValue;
            section += '~';
        }
        section += '\x12';
    }
    section += '\x14';
    if (section.size() > kMaxSectionLength) Fail("Too many columns in SELECT statement");
    std::string image;
    auto put = [&image](uint32_t v) { image.append(reinterpret_cast<const char*>(&v), 4); };
    put(static_cast<uint32_t>(section.size() + 17));
    image += 'S';
    put(0);
    put(static_cast<uint32_t>(columns_.size()));
    put(static_cast<uint32_t>(section.size()));
    image += section;
    auto result = std::make_unique<TVolgaCursor>();
    std::string message;
    if (!result->LoadFromImage(image, message)) Fail("Error opening table: " + message);

    // Sources of the columns.
    const size_t width = tables_.size();
    const TVolgaFormatSettings& fmt = FormatSettings();
    std::vector<const TVolgaField*> src(columns_.size(), nullptr);
    for (size_t k = 0; k < columns_.size(); ++k) {
        const TVolgaQColumn& c = columns_[k];
        if (c.Table < 0) continue;
        const TVolgaQTable& t = tables_[static_cast<size_t>(c.Table)];
        const TVolgaCursor& tc = t.FileBased ? *t.Cursor : *t.Dataset->Cursor();
        src[k] = tc.Field(c.SourceField);
    }
    TVolgaRecordData constants = result->NewBuffer();
    for (size_t k = 0; k < columns_.size(); ++k) {
        const TVolgaQColumn& c = columns_[k];
        const TVolgaField& f = *result->Field(static_cast<int>(k));
        if (c.Kind == TVolgaQColumnKind::TextConst) {
            f.SetText(constants, c.SourceName);
        } else if (c.Kind == TVolgaQColumnKind::NumberConst) {
            double v = 0;
            if (fmt.ParseFloat(c.SourceName, v)) f.SetFloat(constants, v);
        }
    }

    const size_t rows = tuples.size() / width;
    std::vector<TVolgaRecordData> buffers;
    buffers.reserve(rows);
    for (size_t row = 0; row < rows; ++row) {
        TVolgaRecordData d = constants;
        for (size_t k = 0; k < columns_.size(); ++k) {
            if (!src[k]) continue;
            const TVolgaRecord* rec = tuples[row * width + static_cast<size_t>(columns_[k].Table)];
            const TVolgaField& to = *result->Field(static_cast<int>(k));
            switch (columns_[k].Kind) {
                case TVolgaQColumnKind::Count: to.SetInt(d, 1); break;
                case TVolgaQColumnKind::Sum:
                case TVolgaQColumnKind::Avg:
                    if (!rec) break;
                    if (to.DataType == src[k]->DataType) CopyValue(*src[k], rec->Data, to, d);
                    else to.SetFloat(d, src[k]->GetFloat(rec->Data));
                    break;
                default:
                    if (rec) CopyValue(*src[k], rec->Data, to, d);
                    break;
            }
        }
        buffers.push_back(std::move(d));
    }

    std::vector<size_t> keep(buffers.size());
    for (size_t i = 0; i < keep.size(); ++i) keep[i] = i;
    if (folds_) {
        std::vector<const TVolgaField*> keys;
        for (size_t k = 0; k < columns_.size(); ++k)
            if (columns_[k].Grouping) keys.push_back(result->Field(static_cast<int>(k)));
        auto cmp = [&](size_t a, size_t b) {
            for (const TVolgaField* f : keys)
                if (int c = KeyCompare(*f, buffers[a], *f, buffers[b])) return c;
            return 0;
        };
        std::stable_sort(keep.begin(), keep.end(), [&](size_t a, size_t b) { return cmp(a, b) < 0; });
        std::vector<size_t> heads;
        auto finish = [&](size_t head, int64_t count) {
            for (size_t k = 0; k < columns_.size(); ++k) {
                if (columns_[k].Kind != TVolgaQColumnKind::Avg) continue;
                const TVolgaField& f = *result->Field(static_cast<int>(k));
                f.SetFloat(buffers[head], f.GetFloat(buffers[head]) / static_cast<double>(count));
            }
        };
        int64_t count = 0;
        for (size_t i = 0; i < keep.size(); ++i) {
            const size_t cur = keep[i];
            if (!heads.empty() && cmp(heads.back(), cur) == 0) {
                TVolgaRecordData& h = buffers[heads.back()];
                const TVolgaRecordData& r = buffers[cur];
                ++count;
                for (size_t k = 0; k < columns_.size(); ++k) {
                    const TVolgaField& f = *result->Field(static_cast<int>(k));
                    switch (columns_[k].Kind) {
                        case TVolgaQColumnKind::Count: f.SetInt(h, f.GetInt(h) + 1); break;
                        case TVolgaQColumnKind::Sum:
                        case TVolgaQColumnKind::Avg:
                            if (f.DataType == TVolgaFieldType::Int64)
                                f.SetInt(h, static_cast<int64_t>(static_cast<uint64_t>(f.GetInt(h)) +
                                                                 static_cast<uint64_t>(f.GetInt(r))));
                            else
                                f.SetFloat(h, f.GetFloat(h) + f.GetFloat(r));
                            break;
                        case TVolgaQColumnKind::Min:
                            if (VolgaCompareValues(f, r, h, false) < 0) CopyValue(f, r, f, h);
                            break;
                        case TVolgaQColumnKind::Max:
                            if (VolgaCompareValues(f, r, h, false) > 0) CopyValue(f, r, f, h);
                            break;
                        default: break;
                    }
                }
                continue;
            }
            if (!heads.empty()) finish(heads.back(), count);
            heads.push_back(cur);
            count = 1;
        }
        if (!heads.empty()) finish(heads.back(), count);
        keep.swap(heads);
    }

    const TVolgaRecordData empty = result->NewBuffer();
    for (size_t i : keep) {
        TVolgaRecord* rec = result->PostRecord(empty, nullptr, message);
        if (!rec) Fail("Error saving new record: " + message);
        // The values as they were computed (an AutoInc column keeps its source's value).
        rec->Data = std::move(buffers[i]);
        rec->StoredSize = result->ComputeStoredSize(rec->Data);
    }
    result->CommitAllChanges();
    return result;
}

void TVolgaCustomQuery::Evaluate(std::unique_ptr<TVolgaCursor>& result) {
    ReadTables();
    ResolveColumns();
    ResolveConditions();
    ResolveJoins();
    LoadTables();
    std::vector<TVolgaRecord*> tuples;
    BuildTuples(tuples);
    result = BuildResult(tuples);
    // Only the origin's records are needed from here on (for the write-back).
    for (TVolgaQTable& t : tables_)
        if (!t.Origin) t.Cursor.reset();
    headers_.clear();
    images_.clear();
}

void TVolgaCustomQuery::LoadData() {
    // Every open and every refresh reads the tables as they are now.
    if (Active()) Unprepare();
    try {
        if (!prepared_) PrepareInternal();
        std::unique_ptr<TVolgaCursor> result;
        Evaluate(result);
        SetCursor(result.release(), true);
    } catch (const EVolgaError& e) {
        Unprepare();
        Error(e.what());
    }
}

void TVolgaCustomQuery::ReleaseData() { Unprepare(); }

// ---------------------------------------------------------------------------------------------
// Writing back

void TVolgaCustomQuery::SaveModified() { WriteBack(); }

void TVolgaCustomQuery::WriteBack() {
    if (originTable_ < 0 || !cursor_ || !tables_[static_cast<size_t>(originTable_)].Cursor) return;
    TVolgaQTable& origin = tables_[static_cast<size_t>(originTable_)];
    TVolgaCursor& oc = *origin.Cursor;
    TVolgaCursor& rc = *cursor_;

    // (result field, origin field) for every result column that is a field of the origin.
    using Pair = std::pair<const TVolgaField*, const TVolgaField*>;
    std::vector<Pair> columns;
    for (size_t k = 0; k < columns_.size(); ++k)
        if (columns_[k].Table == originTable_ && columns_[k].Kind == TVolgaQColumnKind::Field)
            columns.emplace_back(rc.Field(static_cast<int>(k)), oc.Field(columns_[k].SourceField));
    std::vector<Pair> keys;
    std::string missing;
    for (const std::string& name : SplitNames(UniqueFieldNames)) {
        auto it = std::find_if(columns.begin(), columns.end(),
                               [&](const Pair& p) { return VolgaSameTextCI(p.first->Name, name); });
        if (it == columns.end()) {
            if (missing.empty()) missing = name;
        } else {
            keys.push_back(*it);
        }
    }
    bool needKeys = false;
    for (const auto& r : rc.Records())
        if (r->Status == TVolgaRecordStatus::rsModified || r->Status == TVolgaRecordStatus::rsDeleted)
            needKeys = true;
    if (needKeys && !missing.empty())
        Error("Error saving record: " + VolgaFormat("Field '%s' not found", missing.c_str()));

    // The origin's records in key order, to find a result record's origin record.
    std::vector<TVolgaRecord*> index;
    if (needKeys) {
        for (const auto& r : oc.Records())
            if (r->IsLive()) index.push_back(r.get());
        std::stable_sort(index.begin(), index.end(), [&](const TVolgaRecord* a, const TVolgaRecord* b) {
            for (const Pair& k : keys)
                if (int c = KeyCompare(*k.second, a->Data, *k.second, b->Data)) return c < 0;
            return false;
        });
    }
    auto find = [&](const TVolgaRecordData& key) -> TVolgaRecord* {
        auto cmp = [&](const TVolgaRecord* o) {
            for (const Pair& k : keys)
                if (int c = KeyCompare(*k.second, o->Data, *k.first, key)) return c;
            return 0;
        };
        auto it = std::partition_point(index.begin(), index.end(),
                                       [&](const TVolgaRecord* o) { return cmp(o) < 0; });
        for (; it != index.end() && cmp(*it) == 0; ++it)
            if ((*it)->IsLive()) return *it;
        return nullptr;
    };
    auto fill = [&](const TVolgaRecordData& from, TVolgaRecordData& to) {
        for (const Pair& p : columns) CopyValue(*p.first, from, *p.second, to);
    };

    try {
        std::string message;
        for (const auto& rp : rc.Records()) {
            const TVolgaRecord& r = *rp;
            // Keys as they were before the record's first change.
            const TVolgaRecordData& before = r.Backup ? *r.Backup : r.Data;
            switch (r.Status) {
                case TVolgaRecordStatus::rsModified: {
                    TVolgaRecord* o = find(before);
                    if (!o) Error("Error saving record: Record is not found");
                    TVolgaRecordData d = o->Data;
                    fill(r.Data, d);
                    oc.BackupRecord(o);
                    if (!oc.PostRecord(d, o, message)) Error("Error saving record: " + message);
                    break;
                }
                case TVolgaRecordStatus::rsInserted: {
                    TVolgaRecordData d = oc.NewBuffer();
                    fill(r.Data, d);
                    if (!oc.PostRecord(d, nullptr, message))
                        Error("Error saving new record: " + message);
                    break;
                }
                case TVolgaRecordStatus::rsDeleted: {
                    TVolgaRecord* o = find(before);
                    if (!o) Error("Error deleting record: Record is not found");
                    if (!oc.DeleteRecord(o, message)) Error("Error deleting record: " + message);
                    break;
                }
                default: break;
            }
        }
        oc.Env = (Database() && Database()->Env) ? Database()->Env : nullptr;
        oc.SaveToFile(origin.Path, SaveOptions, (SortOptions() & vsoCaseInsensitive) != 0,
                      IndexFieldNames());
    } catch (...) {
        // Nothing was written: the origin is as it was loaded, the result keeps its changes.
        oc.UndoAllChanges();
        throw;
    }
    oc.CommitAllChanges();
    // The result now matches the file: a second write-back must not apply the same changes.
    CommitChanges();
}
