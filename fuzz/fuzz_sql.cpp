// Fuzzes SELECT statements, which the search writes from what users type: any text must either
// open as a query over a small calls table (and a second table to join) or fail with an engine
// error, never crash. Checked on the way:
// - a result has no more rows than the product of its tables' rows (every table here is small);
// - a typed value, quoted as the search quotes it (a double quote doubled) in a "contains"
//   comparison on the memo, always opens, and finds every call whose memo holds the value as it
//   is when the value is whole UTF-8 characters (as a text box gives) and has no wildcard
//   character.
//
// The first byte picks the mode (even: the rest is a whole statement; odd: the rest is a typed
// value).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaQuery.h"
#include "VolgaConvert.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_sql: %s\ntext: %.*s\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

const char* const kMemos[] = {"call about ABC", "", "\xC3\xA4\xC3\xB6\xC3\xBC say \"hi\"", "ABC",
                              "50% off"};
constexpr int kCalls = 5;
constexpr int kFolders = 3;

void WriteTable(const std::string& path, const std::vector<TVolgaFieldDef>& defs,
                const std::vector<std::vector<std::string>>& rows) {
    TVolgaCursor c;
    std::string msg;
    if (!c.LoadFromImage(TVolgaCursor::BuildEmptyImage(defs), msg)) Fail("table", msg);
    const TVolgaFormatSettings iso = TVolgaFormatSettings::Iso();
    for (const auto& row : rows) {
        TVolgaRecordData d = c.NewBuffer();
        for (size_t k = 0; k < defs.size(); ++k) {
            const TVolgaField* f = c.FieldByName(defs[k].Name);
            if (f->DataType == TVolgaFieldType::Memo)
                f->SetText(d, row[k]);
            else
                VolgaTextToValue(*f, row[k], d, iso);
        }
        if (!c.PostRecord(d, nullptr, msg)) Fail("record", msg);
    }
    std::string image, error;
    c.BuildImage(image);
    if (!TVolgaEnv::Default()->WriteFileAtomic(path, image, error)) Fail("write", error);
}

// The folder with the two tables, made once per process.
const std::string& Folder() {
    static const std::string dir = [] {
        const std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("fuzz_sql_" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        WriteTable((p / "Calls.d").string(),
                   {{"callID", TFieldType::ftString, 8},
                    {"Channel", TFieldType::ftInteger, 0},
                    {"FolderId", TFieldType::ftString, 8},
                    {"Date", TFieldType::ftDate, 0},
                    {"startTime", TFieldType::ftTime, 0},
                    {"inOut", TFieldType::ftInteger, 0},
                    {"callerID", TFieldType::ftString, 40},
                    {"Memo", TFieldType::ftMemo, 0},
                    {"fileSize", TFieldType::ftFloat, 0}},
                   {{"A", "0", "F0", "2026-12-01", "09:00:00", "0", "555", kMemos[0], "1.5"},
                    {"B", "1", "F1", "2026-11-30", "23:59:59", "1", "", kMemos[1], "0"},
                    {"C", "1", "F2", "", "", "2", "PRIVATE NUMBER", kMemos[2], "-2"},
                    {"D", "0", "F0", "1899-12-30", "00:00:01", "0", "\"", kMemos[3], "7"},
                    {"E", "2", "", "2026-12-10", "12:00:00", "1", "O'Brien", kMemos[4], "1e9"}});
        WriteTable((p / "Tree.d").string(),
                   {{"FolderID", TFieldType::ftString, 8}, {"NodeText", TFieldType::ftString, 40}},
                   {{"F0", "Inbox"}, {"F1", "Orders"}, {"F2", "\xC3\x84rger"}});
        return p.string();
    }();
    return dir;
}

// Whole UTF-8 characters only, as a text box gives them.
bool ValidUtf8(std::string_view v) {
    for (size_t i = 0; i < v.size();) {
        const unsigned char c = static_cast<unsigned char>(v[i]);
        const size_t n = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
        if (n == 0 || i + n > v.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(v[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

bool HasWildcard(std::string_view v) {
    return v.find_first_of("%*_?") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    TVolgaDatabase db;
    db.SetDatabasePath(Folder());
    TVolgaQuery q(&db);
    if (data[0] % 2 == 0) {
        if (data[0] % 4 == 0) {  // as the search runs it: Calls is the updatable origin
            q.Origin = "Calls";
            q.UniqueFieldNames = "callID";
        }
        try {
            q.SetSQL(std::string(text));
            q.Open();
        } catch (const EVolgaError&) {
            return 0;
        }
        if (q.RecordCount() > kCalls * kFolders * kCalls) Fail("more rows than the tables", text);
        return 0;
    }
    std::string quoted;
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    q.SetSQL("SELECT * FROM calls WHERE calls.memo LIKE \"%" + quoted + "%\"");
    try {
        q.Open();
    } catch (const EVolgaError& e) {
        // A pattern may hold too many wildcards; nothing else may fail.
        if (std::string_view(e.what()).find("invalid mask") == std::string_view::npos)
            Fail(e.what(), text);
        return 0;
    }
    if (HasWildcard(text) || text.find('\0') != std::string_view::npos || !ValidUtf8(text))
        return 0;
    int containing = 0;
    for (const char* memo : kMemos)
        containing += std::string_view(memo).find(text) != std::string_view::npos;
    if (q.RecordCount() < containing) Fail("a typed value did not find itself", text);
    return 0;
}
