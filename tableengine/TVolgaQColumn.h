// One column of a SELECT statement: as parsed, and once resolved against the tables' fields.
#pragma once

#include <string>

#include "VolgaTypes.h"

enum class TVolgaQColumnKind {
    Field,        // a field of a table (a quoted item that names a field ends up here too)
    TextConst,    // a quoted text that is no field of its table
    NumberConst,  // a number
    Star,         // "*": every field of its table (expanded when the tables are read)
    Count,
    Sum,
    Max,
    Min,
    Avg,
};

inline bool IsAggregateKind(TVolgaQColumnKind k) {
    return k == TVolgaQColumnKind::Count || k == TVolgaQColumnKind::Sum ||
           k == TVolgaQColumnKind::Max || k == TVolgaQColumnKind::Min ||
           k == TVolgaQColumnKind::Avg;
}

struct TVolgaQColumn {
    std::string Alias;       // table alias (the first table's when none was written)
    std::string SourceName;  // field name, constant text or number text
    std::string OutputName;  // the AS name, or the default name
    bool HasAs = false;
    bool Quoted = false;     // the item was a quoted text: a field of that name, else a constant
    TVolgaQColumnKind Kind = TVolgaQColumnKind::Field;
    bool Grouping = false;   // a GROUP BY column (every column with DISTINCT)

    // Set when the statement is evaluated.
    int Table = -1;          // index into the query's tables; -1 for constants
    int SourceField = -1;    // position of the source field in its table
    TVolgaFieldType Type = TVolgaFieldType::Unknown;
    int Size = 0;            // declared length of SmallStr and String columns
    std::string DefaultValue;
};
