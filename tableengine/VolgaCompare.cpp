#include "VolgaCompare.h"

#include <cstring>

#include "VolgaText.h"

namespace {

template <typename T>
int Cmp(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

std::string_view TextView(const TVolgaField& f, const TVolgaRecordData& r) {
    if (f.VarIndex >= 0) return r.Vars[static_cast<size_t>(f.VarIndex)];
    if (f.DataType == TVolgaFieldType::SmallStr) {
        const char* p = reinterpret_cast<const char*>(r.Bytes.data() + f.Offset);
        return std::string_view(p, strnlen(p, f.DataSize));
    }
    return std::string_view();
}

}  // namespace

int VolgaCompareFieldPair(const TVolgaField& fa, const TVolgaRecordData& a, const TVolgaField& fb,
                          const TVolgaRecordData& b, bool caseInsensitive) {
    switch (fa.DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Date:
        case TVolgaFieldType::Time:
        case TVolgaFieldType::AutoInc:
        case TVolgaFieldType::Int64: return Cmp(fa.GetInt(a), fb.GetInt(b));
        case TVolgaFieldType::Boolean: {
            bool x = fa.GetBool(a), y = fb.GetBool(b);
            if (x == y) return 0;
            return x ? -1 : 1;  // true sorts before false
        }
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: return Cmp(fa.GetFloat(a), fb.GetFloat(b));
        case TVolgaFieldType::SmallStr: {
            std::string_view x = TextView(fa, a), y = TextView(fb, b);
            if (fa.Numeric && x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            return VolgaCompareText(x, y, caseInsensitive);
        }
        case TVolgaFieldType::String:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
            return VolgaCompareText(TextView(fa, a), TextView(fb, b), caseInsensitive);
        case TVolgaFieldType::BLOB:
        case TVolgaFieldType::Graphic:
        case TVolgaFieldType::Unknown: return 0;
    }
    return 0;
}

int VolgaCompareValues(const TVolgaField& f, const TVolgaRecordData& a, const TVolgaRecordData& b,
                       bool caseInsensitive) {
    return VolgaCompareFieldPair(f, a, f, b, caseInsensitive);
}

int VolgaCompareRecords(const std::vector<TVolgaField*>& keys, const TVolgaRecordData& a,
                        const TVolgaRecordData& b, bool caseInsensitive) {
    for (const TVolgaField* f : keys) {
        int c = VolgaCompareValues(*f, a, b, caseInsensitive);
        if (c != 0) return c;
    }
    return 0;
}
