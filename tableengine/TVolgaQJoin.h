// A join link between two tables of a query: the WHERE comparisons of one table's fields with
// another table's, "=" for an inner join, "*=" for a left outer join.
#pragma once

#include <string>
#include <vector>

struct TVolgaQJoin {
    std::string LeftAlias;
    std::vector<std::string> LeftFields;
    std::string RightAlias;
    std::vector<std::string> RightFields;
    bool Outer = false;  // left outer: a left row without a match is kept with an empty right

    // Set when the statement is evaluated.
    int LeftTable = -1, RightTable = -1;
    std::vector<int> LeftIndex, RightIndex;  // field positions in the two tables
};
