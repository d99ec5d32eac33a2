#include "VolgaTypes.h"

const char* VolgaFieldTypeName(TVolgaFieldType type) {
    static const char* const kNames[] = {"Unknown", "SmallInt", "Integer", "Int64",   "Boolean",
                                         "Double",  "Currency", "Date",    "Time",    "DateTime",
                                         "AutoInc", "SmallStr", "String",  "BLOB",    "Memo",
                                         "FmtMemo", "Graphic"};
    auto i = static_cast<unsigned>(type);
    return i < sizeof(kNames) / sizeof(kNames[0]) ? kNames[i] : "Unknown";
}

TVolgaFieldType EngineTypeOf(TFieldType declared, int size) {
    switch (declared) {
        case TFieldType::ftSmallint:
        case TFieldType::ftWord: return TVolgaFieldType::SmallInt;
        case TFieldType::ftInteger: return TVolgaFieldType::Integer;
        case TFieldType::ftLargeint: return TVolgaFieldType::Int64;
        case TFieldType::ftBoolean: return TVolgaFieldType::Boolean;
        case TFieldType::ftFloat: return TVolgaFieldType::Double;
        case TFieldType::ftCurrency: return TVolgaFieldType::Currency;
        case TFieldType::ftDate: return TVolgaFieldType::Date;
        case TFieldType::ftTime: return TVolgaFieldType::Time;
        case TFieldType::ftDateTime: return TVolgaFieldType::DateTime;
        case TFieldType::ftAutoInc: return TVolgaFieldType::AutoInc;
        case TFieldType::ftString:
            return size <= 35 ? TVolgaFieldType::SmallStr : TVolgaFieldType::String;
        case TFieldType::ftMemo: return TVolgaFieldType::Memo;
        case TFieldType::ftFmtMemo: return TVolgaFieldType::FmtMemo;
        case TFieldType::ftBlob: return TVolgaFieldType::BLOB;
        case TFieldType::ftGraphic: return TVolgaFieldType::Graphic;
        case TFieldType::ftUnknown: break;
    }
    return TVolgaFieldType::Unknown;
}

TFieldType DeclaredTypeOf(TVolgaFieldType engine) {
    switch (engine) {
        case TVolgaFieldType::SmallInt: return TFieldType::ftSmallint;
        case TVolgaFieldType::Integer: return TFieldType::ftInteger;
        case TVolgaFieldType::Int64: return TFieldType::ftLargeint;
        case TVolgaFieldType::Boolean: return TFieldType::ftBoolean;
        case TVolgaFieldType::Double: return TFieldType::ftFloat;
        case TVolgaFieldType::Currency: return TFieldType::ftCurrency;
        case TVolgaFieldType::Date: return TFieldType::ftDate;
        case TVolgaFieldType::Time: return TFieldType::ftTime;
        case TVolgaFieldType::DateTime: return TFieldType::ftDateTime;
        case TVolgaFieldType::AutoInc: return TFieldType::ftAutoInc;
        case TVolgaFieldType::SmallStr:
        case TVolgaFieldType::String: return TFieldType::ftString;
        case TVolgaFieldType::BLOB: return TFieldType::ftBlob;
        case TVolgaFieldType::Memo: return TFieldType::ftMemo;
        case TVolgaFieldType::FmtMemo: return TFieldType::ftFmtMemo;
        case TVolgaFieldType::Graphic: return TFieldType::ftGraphic;
        case TVolgaFieldType::Unknown: break;
    }
    return TFieldType::ftUnknown;
}
