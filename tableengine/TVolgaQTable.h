// The working data of one table of a query: where its records come from, its row conditions
// and, for a file table, the cursor it was loaded into.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TVolgaCField.h"
#include "TVolgaCursor.h"

class TVolgaDataset;

// A WHERE comparison that involves one table only.
struct TVolgaQRowCondition {
    TVolgaCField C;           // Left / Right point into the table's cursor once it is loaded
    int LeftField = -1;       // field positions in the table
    int RightField = -1;      // -1 when the right side is a literal
    bool TextLiteral = false; // a text field against a literal: compared with the whole literal
};

struct TVolgaQTable {
    std::string Name;   // as written in FROM
    std::string Alias;
    std::string Path;   // file tables: the file found for the name
    TVolgaDataset* Dataset = nullptr;  // a dataset named by the query instead of a file
    bool FileBased = false;
    bool Origin = false;  // the updatable origin: result changes are written back to it
    std::vector<TVolgaQRowCondition> Conditions;
    std::unique_ptr<TVolgaCursor> Cursor;  // file tables, while the query is evaluated (the
                                           // origin's stays for the write-back)
};
