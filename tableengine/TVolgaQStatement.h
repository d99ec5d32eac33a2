// A SELECT statement split into its parts: the DISTINCT flag, the columns, the tables, the
// WHERE comparisons and the GROUP BY fields. Parsing checks the grammar only; names are
// checked against the tables when the query is prepared and evaluated.
#pragma once

#include <string>
#include <vector>

#include "TVolgaCField.h"
#include "TVolgaQColumn.h"
#include "TVolgaQSource.h"
#include "TVolgaToken.h"

struct TVolgaQGroupField {
    std::string Alias;  // empty when none was written
    std::string Name;
};

struct TVolgaQStatement {
    std::vector<TVolgaToken> Tokens;
    bool Distinct = false;
    std::vector<TVolgaQColumn> Columns;
    std::vector<TVolgaQSource> Sources;
    std::vector<TVolgaCField> Conditions;
    std::vector<TVolgaQGroupField> GroupBy;

    bool HasAggregates() const;
    // Rows are folded: aggregates, DISTINCT or GROUP BY.
    bool Folds() const { return Distinct || !GroupBy.empty() || HasAggregates(); }

    // Parses a token list; throws EVolgaError with the grammar's error texts.
    static TVolgaQStatement Parse(std::vector<TVolgaToken> tokens);
};
