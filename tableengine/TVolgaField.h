// A stored field's descriptor and the typed access to its value in a record buffer.
#pragma once

#include <cstdint>
#include <string>

#include "TVolgaRecordData.h"
#include "VolgaTypes.h"

class TVolgaField {
public:
    std::string Name;
    std::string Alias = "XXX";
    uint16_t DataSize = 0;  // bytes in the record buffer
    int16_t Size = 0;       // declared length of SmallStr and String fields, else 0
    int32_t Offset = 0;     // offset in the record buffer
    TVolgaFieldType DataType = TVolgaFieldType::Unknown;
    uint8_t Numeric = 0;
    std::string DefaultValue;
    std::string Extra;
    int Index = 0;         // position in the cursor's field list
    int VarIndex = -1;     // slot in TVolgaRecordData::Vars for String and BLOB-family fields

    // Sets DataSize, Size and Numeric for a type and declared length (Size only for strings).
    void SetType(TVolgaFieldType type, int declaredSize);

    // Raw access. Integer-like getters read the field's own width; SmallStr/String/BLOB texts
    // are bytes.
    int64_t GetInt(const TVolgaRecordData& r) const;        // SmallInt, Integer, Int64, Date,
                                                            // Time, AutoInc, Boolean (0/-1)
    void SetInt(TVolgaRecordData& r, int64_t v) const;
    double GetFloat(const TVolgaRecordData& r) const;       // Double, Currency, DateTime
    void SetFloat(TVolgaRecordData& r, double v) const;
    bool GetBool(const TVolgaRecordData& r) const;          // any non-zero is true
    void SetBool(TVolgaRecordData& r, bool v) const;        // 0xFFFF / 0
    std::string GetText(const TVolgaRecordData& r) const;   // SmallStr, String, BLOB family
    void SetText(TVolgaRecordData& r, const std::string& s) const;  // cut to Size for strings
                                                                   // (whole UTF-8 characters)
    // True when the stored bytes are all zero / the var value has no data.
    bool IsZero(const TVolgaRecordData& r) const;
    void Clear(TVolgaRecordData& r) const;
};
