// A parameter of a query: a colon and a name in the statement text, replaced by its value's
// text when the statement is prepared.
#pragma once

#include <string>

#include "TVolgaValue.h"
#include "VolgaTypes.h"

struct TVolgaQParam {
    std::string Name;
    // Declared kind: ftString (and the memo types) for texts, ftDate / ftTime / ftDateTime,
    // the integer and float types for numbers, ftBoolean; ftUnknown takes the value's own kind.
    TFieldType DataType = TFieldType::ftUnknown;
    TVolgaValue Value;

    void SetAsString(const std::string& v) { DataType = TFieldType::ftString; Value = v; }
    void SetAsInteger(int64_t v) { DataType = TFieldType::ftInteger; Value = TVolgaValue(v); }
    void SetAsFloat(double v) { DataType = TFieldType::ftFloat; Value = TVolgaValue(v); }
    void SetAsBoolean(bool v) { DataType = TFieldType::ftBoolean; Value = TVolgaValue(v); }
    void SetAsDate(TDateTime v) { DataType = TFieldType::ftDate; Value = TVolgaValue::FromDateTime(v); }
    void SetAsTime(TDateTime v) { DataType = TFieldType::ftTime; Value = TVolgaValue::FromDateTime(v); }
    void SetAsDateTime(TDateTime v) {
        DataType = TFieldType::ftDateTime;
        Value = TVolgaValue::FromDateTime(v);
    }
    void Clear() { Value = TVolgaValue(); }
};
