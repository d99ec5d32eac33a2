// Basic types shared by every part of the table engine.
#pragma once

#include <cstdint>
#include <string>

// Engine type code of a stored field; the value is the code written into the cursor.
enum class TVolgaFieldType : uint8_t {
    Unknown = 0,
    SmallInt = 1,
    Integer = 2,
    Int64 = 3,
    Boolean = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Time = 8,
    DateTime = 9,
    AutoInc = 10,
    SmallStr = 11,
    String = 12,
    BLOB = 13,
    Memo = 14,
    FmtMemo = 15,
    Graphic = 16,
};

// The engine's own name of a type code ("SmallInt", "BLOB", ...).
const char* VolgaFieldTypeName(TVolgaFieldType type);

// True for the types whose value lives in a separate allocation (String and the BLOB family).
inline bool IsVarType(TVolgaFieldType t) {
    return t == TVolgaFieldType::String || t == TVolgaFieldType::BLOB ||
           t == TVolgaFieldType::Memo || t == TVolgaFieldType::FmtMemo ||
           t == TVolgaFieldType::Graphic;
}
// BLOB, Memo, FmtMemo and Graphic: not usable as keys, skipped by exports and key lists.
inline bool IsBlobType(TVolgaFieldType t) {
    return t == TVolgaFieldType::BLOB || t == TVolgaFieldType::Memo ||
           t == TVolgaFieldType::FmtMemo || t == TVolgaFieldType::Graphic;
}

// Declared field type of the data-access layer (what a field definition asks for).
enum class TFieldType : uint8_t {
    ftUnknown,
    ftSmallint,
    ftInteger,
    ftWord,
    ftLargeint,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftDate,
    ftTime,
    ftDateTime,
    ftAutoInc,
    ftString,
    ftMemo,
    ftFmtMemo,
    ftBlob,
    ftGraphic,
};

// Engine type for a declared type and length (strings of 35 or less are SmallStr).
TVolgaFieldType EngineTypeOf(TFieldType declared, int size);
// Declared type an engine type reads back as.
TFieldType DeclaredTypeOf(TVolgaFieldType engine);

enum class TVolgaRecordStatus : uint8_t {
    rsUnchanged = 0,
    rsModified = 1,
    rsInserted = 2,
    rsDeleted = 3,
    rsDiscarded = 4,
};

enum class TVolgaLoadMode { lmClear, lmFile, lmClone, lmStream };

// Save options (a set).
enum TVolgaSaveOption : unsigned {
    savAutoBackup = 1u << 0,
    savSlowMode = 1u << 1,
    savSortOnIndex = 1u << 2,
};
using TVolgaSaveOptions = unsigned;

// Sort options (a set).
enum TVolgaSortOption : unsigned {
    vsoCaseInsensitive = 1u << 0,
    vsoDescendSort = 1u << 1,
    vsoInsertInOrder = 1u << 2,
};
using TVolgaSortOptions = unsigned;

// Date-time: days since 30 December 1899, the fraction being the time of day.
using TDateTime = double;

// Day number of 30 December 1899 in the engine's Date encoding (days since 1 January 0001, plus one).
constexpr int32_t kVolgaDateDelta = 693594;
constexpr int32_t kMSecsPerDay = 86400000;
