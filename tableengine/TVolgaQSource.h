// One entry of the FROM list of a SELECT statement.
#pragma once

#include <string>

struct TVolgaQSource {
    std::string TableName;  // as written: a file name (".d" may be left out) or a dataset alias
    std::string Alias;      // the table name when no alias was written
};
