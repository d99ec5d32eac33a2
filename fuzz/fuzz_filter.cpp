// Fuzzes filter texts: any text must either parse or fail with an engine error, never crash; a
// text that parses is prepared for a small fixed table and evaluated on each of its records.
// Checked on the way:
// - complementary operators (= and <>, < and >=, > and <=, LIKE and NOT LIKE) disagree on
//   every record;
// - a literal stored in a field's form reads back as text that stores the same value again.
//
// The first byte picks the date format and the decimal separator; the rest is the filter text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaFilter.h"
#include "VolgaConvert.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_filter: %s\nfilter: %.*s\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

TVolgaFormatSettings Settings(uint8_t selector) {
    TVolgaFormatSettings fmt;
    fmt.ShortDateFormat = (selector & 1) ? "dd.mm.yyyy" : "yyyy-mm-dd";
    // Milliseconds are written, so that times read back exactly.
    fmt.LongTimeFormat = (selector & 2) ? "hh:nn:ss.zzz am/pm" : "hh:nn:ss.zzz";
    fmt.DecimalSeparator = (selector & 4) ? ',' : '.';
    return fmt;
}

// The table every filter runs on: one field of each type, a few records of varied values.
const TVolgaCursor& Table() {
    static std::unique_ptr<TVolgaCursor> cursor = [] {
        auto c = std::make_unique<TVolgaCursor>();
        std::string msg;
        if (!c->LoadFromImage(TVolgaCursor::BuildEmptyImage({
                                  {"FolderID", TFieldType::ftString, 10},
                                  {"memo", TFieldType::ftMemo, 0},
                                  {"channel", TFieldType::ftInteger, 0},
                                  {"Name", TFieldType::ftString, 50},
                                  {"Flag", TFieldType::ftBoolean, 0},
                                  {"Amount", TFieldType::ftFloat, 0},
                                  {"Price", TFieldType::ftCurrency, 0},
                                  {"Day", TFieldType::ftDate, 0},
                                  {"StartTime", TFieldType::ftTime, 0},
                                  {"Stamp", TFieldType::ftDateTime, 0},
                                  {"Small", TFieldType::ftSmallint, 0},
                                  {"Big", TFieldType::ftLargeint, 0},
                                  {"ID", TFieldType::ftAutoInc, 0},
                                  {"Data", TFieldType::ftBlob, 0},
                                  {"Rich", TFieldType::ftFmtMemo, 0},
                              }),
                              msg))
            Fail("cannot build the table", msg);
        const TVolgaFormatSettings fmt = Settings(0);
        const char* rows[][13] = {
            {"0Ab3xY9z", "call about ABC", "1", "Alice", "yes", "1.5", "2.25", "2024-06-15",
             "10:00:00", "2024-06-15 10:00:00", "1", "1", "bytes"},
            {"0ab3xy9z", "", "-1", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "no",
             "-2.25", "0", "1899-12-30", "23:59:59.999", "1899-12-29 06:00:00", "-1",
             "-9223372036854775808", ""},
            {"", "\xC3\xA4\xC3\xB6\xC3\xBC %_*?", "2147483647", "", "", "0", "1e12", "",
             "", "", "32767", "9223372036854775807", "x"},
            {"zzz", "ABC", "0", "alice", "true", "0.0000001", "-1", "9999-12-31",
             "00:00:00.001", "0001-01-01 00:00:00", "-32768", "0", ""},
        };
        const char* names[] = {"FolderID", "memo", "channel", "Name", "Flag", "Amount", "Price",
                               "Day", "StartTime", "Stamp", "Small", "Big", "Data"};
        for (const auto& row : rows) {
            TVolgaRecordData d = c->NewBuffer();
            for (int k = 0; k < 13; ++k) {
                const TVolgaField* f = c->FieldByName(names[k]);
                if (f->DataType == TVolgaFieldType::Memo || f->DataType == TVolgaFieldType::BLOB)
                    f->SetText(d, row[k]);  // these take no text through the conversion
                else
                    VolgaTextToValue(*f, row[k], d, fmt);
            }
            c->FieldByName("Rich")->SetText(d, row[1]);
            if (!c->PostRecord(d, nullptr, msg)) Fail("cannot post a record", msg);
        }
        return c;
    }();
    return *cursor;
}

bool Complement(TVolgaCompareOp op, TVolgaCompareOp& out) {
    switch (op) {
        case TVolgaCompareOp::Equal: out = TVolgaCompareOp::NotEqual; return true;
        case TVolgaCompareOp::NotEqual: out = TVolgaCompareOp::Equal; return true;
        case TVolgaCompareOp::Less: out = TVolgaCompareOp::GreaterEqual; return true;
        case TVolgaCompareOp::GreaterEqual: out = TVolgaCompareOp::Less; return true;
        case TVolgaCompareOp::Greater: out = TVolgaCompareOp::LessEqual; return true;
        case TVolgaCompareOp::LessEqual: out = TVolgaCompareOp::Greater; return true;
        case TVolgaCompareOp::Like: out = TVolgaCompareOp::NotLike; return true;
        case TVolgaCompareOp::NotLike: out = TVolgaCompareOp::Like; return true;
        default: return false;
    }
}

// Text of a stored literal, stored again, must give the same value. Floats are left out: their
// text keeps six decimals only.
void CheckLiteralRoundTrip(const TVolgaCField& c, const TVolgaCursor& table,
                           const TVolgaFormatSettings& fmt, std::string_view text) {
    if (c.Right || !c.Left) return;
    const TVolgaField& f = *c.Left;
    switch (f.DataType) {
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency: return;
        default: break;
    }
    std::string shown = VolgaValueToText(f, c.LiteralValue, fmt);
    TVolgaRecordData again = table.NewBuffer();
    VolgaTextToValue(f, shown, again, fmt);
    TVolgaRecordData original = table.NewBuffer();
    VolgaTextToValue(f, c.Literal, original, fmt);
    if (IsBlobType(f.DataType) || f.DataType == TVolgaFieldType::String) {
        if (f.GetText(again) != f.GetText(original)) Fail("literal text does not round-trip", text);
        return;
    }
    for (uint16_t i = 0; i < f.DataSize; ++i)
        if (again.Bytes[f.Offset + i] != original.Bytes[f.Offset + i])
            Fail("literal value does not round-trip", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const TVolgaFormatSettings fmt = Settings(data[0]);
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const TVolgaCursor& table = Table();

    TVolgaFilter filter;
    try {
        filter.SetText(text, fmt);
    } catch (const EVolgaError&) {
        if (!filter.IsEmpty()) Fail("a refused text left conditions behind", text);
        return 0;
    }
    try {
        filter.Prepare(table, fmt);
    } catch (const EVolgaError&) {
        return 0;  // unknown field, bad mask or incompatible field types
    }
    for (const TVolgaCField& c : filter.Conditions()) CheckLiteralRoundTrip(c, table, fmt, text);

    for (const auto& rec : table.Records()) {
        for (bool ci : {false, true}) {
            bool all = true;
            for (const TVolgaCField& c : filter.Conditions()) {
                bool holds = TVolgaFilter::EvaluateCondition(c, rec->Data, ci, fmt);
                all = all && holds;
                TVolgaCompareOp opposite;
                if (Complement(c.Op, opposite)) {
                    TVolgaCField flipped = c;
                    flipped.Op = opposite;
                    if (TVolgaFilter::EvaluateCondition(flipped, rec->Data, ci, fmt) == holds)
                        Fail("complementary operators agree", text);
                }
            }
            if (filter.Evaluate(rec->Data, ci, fmt) != all)
                Fail("the filter disagrees with its conditions", text);
        }
    }
    return 0;
}
