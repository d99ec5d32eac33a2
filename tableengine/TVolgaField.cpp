#include "TVolgaField.h"

#include <cstring>

#include "VolgaText.h"

void TVolgaField::SetType(TVolgaFieldType type, int declaredSize) {
    DataType = type;
    Size = 0;
    Numeric = 0;
    switch (type) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Boolean: DataSize = 2; break;
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Date:
        case TVolgaFieldType::Time:
        case TVolgaFieldType::AutoInc: DataSize = 4; break;
        case TVolgaFieldType::Int64:
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: DataSize = 8; break;
        case TVolgaFieldType::SmallStr:
            Size = static_cast<int16_t>(declaredSize);
            DataSize = static_cast<uint16_t>(declaredSize + 1);
            break;
        case TVolgaFieldType::String:
        case TVolgaFieldType::Unknown:
            Size = static_cast<int16_t>(declaredSize);
            DataSize = 4;
            break;
        case TVolgaFieldType::BLOB:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
        case TVolgaFieldType::Graphic: DataSize = 8; break;
    }
    switch (type) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Int64:
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::AutoInc: Numeric = 1; break;
        default: break;
    }
}

int64_t TVolgaField::GetInt(const TVolgaRecordData& r) const {
    const uint8_t* p = r.Bytes.data() + Offset;
    switch (DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Boolean: {
            int16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Date:
        case TVolgaFieldType::Time:
        case TVolgaFieldType::AutoInc: {
            int32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        case TVolgaFieldType::Int64: {
            int64_t v;
            std::memcpy(&v, p, 8);
            return v;
        }
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: return static_cast<int64_t>(GetFloat(r));
        default: return 0;
    }
}

void TVolgaField::SetInt(TVolgaRecordData& r, int64_t v) const {
    uint8_t* p = r.Bytes.data() + Offset;
    switch (DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Boolean: {
            auto x = static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
            std::memcpy(p, &x, 2);
            break;
        }
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Date:
        case TVolgaFieldType::Time:
        case TVolgaFieldType::AutoInc: {
            auto x = static_cast<int32_t>(static_cast<uint32_t>(v & 0xFFFFFFFF));
            std::memcpy(p, &x, 4);
            break;
        }
        case TVolgaFieldType::Int64: std::memcpy(p, &v, 8); break;
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: SetFloat(r, static_cast<double>(v)); break;
        default: break;
    }
}

double TVolgaField::GetFloat(const TVolgaRecordData& r) const {
    switch (DataType) {
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: {
            double v;
            std::memcpy(&v, r.Bytes.data() + Offset, 8);
            return v;
        }
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Int64:
        case TVolgaFieldType::Date:
        case TVolgaFieldType::Time:
        case TVolgaFieldType::AutoInc: return static_cast<double>(GetInt(r));
        default: return 0.0;
    }
}

void TVolgaField::SetFloat(TVolgaRecordData& r, double v) const {
    switch (DataType) {
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency:
        case TVolgaFieldType::DateTime: std::memcpy(r.Bytes.data() + Offset, &v, 8); break;
        default: SetInt(r, static_cast<int64_t>(v)); break;
    }
}

bool TVolgaField::GetBool(const TVolgaRecordData& r) const { return GetInt(r) != 0; }

void TVolgaField::SetBool(TVolgaRecordData& r, bool v) const { SetInt(r, v ? 0xFFFF : 0); }

std::string TVolgaField::GetText(const TVolgaRecordData& r) const {
    if (VarIndex >= 0) return r.Vars[static_cast<size_t>(VarIndex)];
    if (DataType == TVolgaFieldType::SmallStr) {
        const char* p = reinterpret_cast<const char*>(r.Bytes.data() + Offset);
        return std::string(p, strnlen(p, DataSize));
    }
    return std::string();
}

void TVolgaField::SetText(TVolgaRecordData& r, const std::string& s) const {
    if (VarIndex >= 0) {
        if (DataType == TVolgaFieldType::String && Size > 0)
            r.Vars[static_cast<size_t>(VarIndex)] = VolgaCutUtf8(s, static_cast<size_t>(Size));
        else
            r.Vars[static_cast<size_t>(VarIndex)] = s;
        return;
    }
    if (DataType == TVolgaFieldType::SmallStr) {
        std::string cut = VolgaCutUtf8(s, static_cast<size_t>(Size));
        // A zero byte ends the stored text; keep only what reads back.
        size_t z = cut.find('\0');
        if (z != std::string::npos) cut.resize(z);
        uint8_t* p = r.Bytes.data() + Offset;
        std::memset(p, 0, DataSize);
        std::memcpy(p, cut.data(), cut.size());
    }
}

bool TVolgaField::IsZero(const TVolgaRecordData& r) const {
    if (VarIndex >= 0) return r.Vars[static_cast<size_t>(VarIndex)].empty();
    const uint8_t* p = r.Bytes.data() + Offset;
    for (uint16_t i = 0; i < DataSize; ++i)
        if (p[i]) return false;
    return true;
}

void TVolgaField::Clear(TVolgaRecordData& r) const {
    if (VarIndex >= 0) {
        r.Vars[static_cast<size_t>(VarIndex)].clear();
        return;
    }
    std::memset(r.Bytes.data() + Offset, 0, DataSize);
}
