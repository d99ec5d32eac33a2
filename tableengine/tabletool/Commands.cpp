#include "Commands.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string_view>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaQImage.h"
#include "TVolgaQuery.h"
#include "TVolgaTable.h"
#include "TsvText.h"
#include "VolgaText.h"

namespace tabletool {

namespace {

// Longest String value a table file can be read back with.
constexpr size_t kMaxStringBytes = 8191;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tabletool: %s\n", message.c_str());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Field definitions.

TVolgaFieldDef ParseFieldSpec(const std::string& spec) {
    size_t c1 = spec.find(':');
    if (c1 == std::string::npos || c1 == 0) throw UsageError("bad field " + spec + " (NAME:TYPE)");
    size_t c2 = spec.find(':', c1 + 1);
    TVolgaFieldDef def;
    def.Name = spec.substr(0, c1);
    for (unsigned char ch : def.Name)
        if (ch < 0x20 || ch == 0x7F) throw UsageError("bad field name in " + spec);
    std::string typeName =
        spec.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    std::optional<TFieldType> type = TypeFromName(typeName);
    if (!type) throw UsageError("unknown type " + typeName + " in " + spec);
    def.DataType = *type;
    if (def.DataType == TFieldType::ftString) {
        if (c2 == std::string::npos) throw UsageError("string field " + def.Name + " needs a SIZE");
        std::string size = spec.substr(c2 + 1);
        int v = 0;
        bool ok = !size.empty() && size.size() <= 5;
        for (char ch : size) ok = ok && ch >= '0' && ch <= '9';
        if (ok) v = std::stoi(size);
        if (!ok || v < 1 || v > static_cast<int>(kMaxStringBytes))
            throw UsageError("bad size in " + spec + " (1-8191)");
        def.Size = v;
    } else if (c2 != std::string::npos) {
        throw UsageError("only string fields take a SIZE: " + spec);
    }
    return def;
}

// ---------------------------------------------------------------------------------------------
// Checking cell texts before they reach a field (the engine's own conversion silently stores
// nothing for a text it cannot read).

bool ParseInt(std::string_view s, int64_t lo, int64_t hi) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (i >= s.size()) return false;
    // Accumulate as a negative number so that the most negative value fits.
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        int d = s[i] - '0';
        if (v < (INT64_MIN + d) / 10) return false;
        v = v * 10 - d;
    }
    if (!negative) {
        if (v == INT64_MIN) return false;
        v = -v;
    }
    return v >= lo && v <= hi;
}

bool IsBooleanWord(const std::string& s) {
    static const char* const kWords[] = {"true", "false", "yes", "no", "t", "f", "1", "0"};
    for (const char* w : kWords)
        if (VolgaSameTextCI(s, w)) return true;
    return false;
}

// Why a text cannot be stored in the field, or "" when it can.
std::string CellProblem(const TVolgaField& f, const std::string& text,
                        const TVolgaFormatSettings& fmt) {
    TDateTime dt = 0;
    double d = 0;
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
            return ParseInt(text, INT16_MIN, INT16_MAX) ? "" : "not a small integer";
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::AutoInc:
            return ParseInt(text, INT32_MIN, INT32_MAX) ? "" : "not an integer";
        case TVolgaFieldType::Int64:
            return ParseInt(text, INT64_MIN, INT64_MAX) ? "" : "not a large integer";
        case TVolgaFieldType::Boolean:
            return IsBooleanWord(text) ? "" : "not a Boolean (Yes/No, True/False, 1/0)";
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
            return fmt.ParseFloat(text, d) ? "" : "not a number";
        case TVolgaFieldType::Date:
            return fmt.ParseDate(text, dt) ? "" : "not a date in the form " + fmt.ShortDateFormat;
        case TVolgaFieldType::Time:
            return fmt.ParseTime(text, dt) ? "" : "not a time in the form " + fmt.LongTimeFormat;
        case TVolgaFieldType::DateTime:
            return fmt.ParseDateTime(text, dt) ? ""
                                               : "not a date and time in the form " +
                                                     fmt.ShortDateFormat + " " + fmt.LongTimeFormat;
        case TVolgaFieldType::SmallStr:
        case TVolgaFieldType::String: {
            if (text.find('\0') != std::string::npos) return "a text cannot hold a zero byte";
            size_t limit = static_cast<size_t>(f.Size);
            if (f.DataType == TVolgaFieldType::String && limit > kMaxStringBytes)
                limit = kMaxStringBytes;
            if (text.size() > limit)
                return "too long (" + std::to_string(text.size()) + " bytes; the field holds " +
                       std::to_string(limit) + ")";
            return "";
        }
        default:
            return "";
    }
}

// ---------------------------------------------------------------------------------------------

struct OpenTable {
    TVolgaDatabase Db;
    TVolgaTable Table{&Db};

    OpenTable(const std::string& path, const Options& opt, bool passwordOnlyIfProtected = false) {
        Db.FormatSettings = opt.Format;
        Table.SetTableName(path);
        if (!opt.Password.empty() && (!passwordOnlyIfProtected || IsProtectedFile(path)))
            Table.SetPassword(opt.Password);
        Table.Open();
    }

    // A password given for a plain table must not turn it into a protected one when saved.
    static bool IsProtectedFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        char head[5] = {};
        return in.read(head, 5) && head[4] == 'P';
    }
};

bool ReadAll(const std::string& path, std::string& out, std::string& error) {
    if (!path.empty()) return TVolgaEnv::Default()->ReadFile(path, out, error);
    // Through stdio: the tool has no use for iostreams, whose set-up every start would pay.
    out.clear();
    char buf[1 << 16];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, stdin)) > 0) out.append(buf, got);
    if (std::ferror(stdin)) {
        error = "cannot read standard input";
        return false;
    }
    return true;
}

// Lines without their line ends; a last line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

class Output {
public:
    ~Output() { Flush(); }
    std::string& Buffer() { return buf_; }
    void MaybeFlush() {
        if (buf_.size() >= (1u << 20)) Flush();
    }
    bool Flush() {
        bool ok = std::fwrite(buf_.data(), 1, buf_.size(), stdout) == buf_.size();
        buf_.clear();
        return ok && std::fflush(stdout) == 0;
    }

private:
    std::string buf_;
};

bool HasMilliseconds(const TVolgaField& f, const TVolgaRecordData& d) {
    if (f.DataType == TVolgaFieldType::Time) return f.GetInt(d) % 1000 != 0;
    if (f.DataType == TVolgaFieldType::DateTime) return std::fmod(f.GetFloat(d), 1000.0) != 0.0;
    return false;
}

bool AnyMilliseconds(TVolgaTable& t) {
    for (int row = 0; row < t.RecordCount(); ++row)
        for (int i = 0; i < t.FieldCount(); ++i)
            if (const TVolgaField* f = t.Field(i).Stored();
                f && HasMilliseconds(*f, t.VisibleRecord(row)->Data))
                return true;
    return false;
}

}  // namespace

int Create(const std::string& table, const std::vector<std::string>& specs, const Options& opt) {
    std::vector<TVolgaFieldDef> defs;
    for (const std::string& s : specs) {
        TVolgaFieldDef d = ParseFieldSpec(s);
        std::string stored = d.Name;
        for (char& c : stored)
            if (c == ' ') c = '_';
        for (const TVolgaFieldDef& other : defs) {
            std::string o = other.Name;
            for (char& c : o)
                if (c == ' ') c = '_';
            if (VolgaSameTextCI(o, stored)) throw UsageError("field " + d.Name + " given twice");
        }
        defs.push_back(d);
    }
    if (TVolgaEnv::Default()->FileExists(table)) return Fail(table + ": the table already exists");
    try {
        TVolgaDatabase db;
        db.FormatSettings = opt.Format;
        TVolgaTable t(&db);
        t.SetTableName(table);
        t.SetPassword(opt.Password);
        t.FieldDefs = defs;
        t.CreateTable();
    } catch (const EVolgaError& e) {
        return Fail(table + ": " + e.what());
    }
    return 0;
}

int Import(const std::string& table, const std::string& tsvPath, const Options& opt) {
    const std::string source = tsvPath.empty() ? "(standard input)" : tsvPath;
    std::string text, error;
    if (!ReadAll(tsvPath, text, error)) return Fail(source + ": " + error);
    std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty()) return Fail(source + ": no header line");
    try {
        OpenTable ot(table, opt, true);
        TVolgaTable& t = ot.Table;
        std::vector<TVolgaDataField*> columns;
        for (std::string_view cell : SplitTabs(lines[0])) {
            std::string name = UnescapeCell(cell);
            TVolgaDataField* f = t.FindField(name);
            if (!f) return Fail(source + ":1: the table has no field '" + name + "'");
            for (TVolgaDataField* c : columns)
                if (c == f) return Fail(source + ":1: field '" + name + "' given twice");
            columns.push_back(f);
        }
        const TVolgaFormatSettings& fmt = ot.Db.FormatSettings;
        for (size_t ln = 1; ln < lines.size(); ++ln) {
            const std::string where = source + ":" + std::to_string(ln + 1) + ": ";
            std::vector<std::string_view> cells = SplitTabs(lines[ln]);
            if (cells.size() != columns.size())
                return Fail(where + std::to_string(cells.size()) + " cells, expected " +
                            std::to_string(columns.size()));
            t.Append();
            for (size_t i = 0; i < cells.size(); ++i) {
                TVolgaDataField& f = *columns[i];
                const TVolgaField& stored = *f.Stored();
                std::string value = UnescapeCell(cells[i]);
                if (value.empty()) {
                    f.Clear();
                    continue;
                }
                std::string problem = CellProblem(stored, value, fmt);
                if (!problem.empty())
                    return Fail(where + f.FieldName + ": '" + EscapeCell(value) + "' is " +
                                problem);
                f.SetAsString(value);  // memo and BLOB fields take the whole text
            }
            t.Post();
        }
        t.SaveChanges();
    } catch (const EVolgaError& e) {
        return Fail(table + ": " + e.what());
    }
    return 0;
}

namespace {

// The field names, then one line per visible record (what dump and sql print).
int PrintRows(TVolgaDataset& t, const TVolgaFormatSettings& format, const Options& opt) {
    TVolgaFormatSettings msFormat = format;
    msFormat.LongTimeFormat = "hh:nn:ss.zzz";
    const bool msForm = !opt.TimeFormatGiven;
    Output out;
    std::string& buf = out.Buffer();
    const int n = t.FieldCount();
    for (int i = 0; i < n; ++i) {
        if (i) buf += '\t';
        buf += EscapeCell(t.Field(i).FieldName);
    }
    buf += '\n';
    for (int row = 0; row < t.RecordCount(); ++row) {
        const TVolgaRecordData& data = t.VisibleRecord(row)->Data;
        for (int i = 0; i < n; ++i) {
            if (i) buf += '\t';
            const TVolgaField* f = t.Field(i).Stored();
            const TVolgaFieldType type = f ? f->DataType : TVolgaFieldType::Unknown;
            std::string text;
            if (type == TVolgaFieldType::BLOB || type == TVolgaFieldType::Graphic) {
                text = f->GetText(data);  // the bytes themselves, escaped below
            } else if (msForm && type == TVolgaFieldType::Time && HasMilliseconds(*f, data)) {
                text = msFormat.FormatTimeMs(static_cast<int32_t>(f->GetInt(data)));
            } else if (msForm && type == TVolgaFieldType::DateTime && f->GetFloat(data) > 0 &&
                       HasMilliseconds(*f, data)) {
                text = msFormat.FormatDateTime(
                    TVolgaFormatSettings::StampToDateTime(f->GetFloat(data)));
            } else {
                text = t.TextAt(row, i);
            }
            buf += EscapeCell(text);
        }
        buf += '\n';
        out.MaybeFlush();
    }
    if (!out.Flush()) return Fail("cannot write standard output");
    return 0;
}

}  // namespace

int Dump(const std::string& table, const Options& opt) {
    try {
        OpenTable ot(table, opt);
        return PrintRows(ot.Table, ot.Db.FormatSettings, opt);
    } catch (const EVolgaError& e) {
        return Fail(table + ": " + e.what());
    }
}

int Sql(const std::string& folder, const std::string& statement, const Options& opt) {
    try {
        TVolgaDatabase db;
        db.FormatSettings = opt.Format;
        db.DateFormat = opt.Format.ShortDateFormat;
        db.SetDatabasePath(folder);
        TVolgaQuery query(&db);
        query.Password = opt.Password;
        query.SetSQL(statement);
        query.Open();
        return PrintRows(query, db.FormatSettings, opt);
    } catch (const EVolgaError& e) {
        return Fail(e.what());
    }
}

int Check(const std::string& table, const Options& opt) {
    // The file mapped (no copy), then read with every check of opening the table but without
    // building the records: the count and any error are those opening it would give.
    TVolgaQImage file;
    std::string error;
    if (!file.Load(TVolgaEnv::Default(), table, error)) return Fail(table + ": " + error);
    TVolgaCursor c;
    c.Password = opt.Password;
    std::string message;
    int count = 0;
    if (!c.CheckImage(file.View(), message, count)) return Fail(table + ": " + message);
    std::printf("%d\n", count);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Export(const std::string& table, const std::string& out, const Options& opt) {
    try {
        OpenTable ot(table, opt);
        // The export writes every value in one form: with milliseconds when any value has them.
        if (!opt.TimeFormatGiven && AnyMilliseconds(ot.Table))
            ot.Db.FormatSettings.LongTimeFormat = "hh:nn:ss.zzz";
        if (opt.Xml) ot.Table.ExportToXML(out, "UTF-8");
        else ot.Table.ExportToText(out, opt.Separator);
    } catch (const EVolgaError& e) {
        return Fail(table + ": " + e.what());
    }
    return 0;
}

}  // namespace tabletool
