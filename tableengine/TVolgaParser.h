// The tokenizer and the condition-list parser of the filter and query language.
#pragma once

#include <string_view>
#include <vector>

#include "TVolgaCField.h"
#include "TVolgaToken.h"

class TVolgaParser {
public:
    // Splits a text into tokens; throws EVolgaError with the language's error texts.
    // `decimalSeparator` is the character numbers may contain besides digits and "-".
    static std::vector<TVolgaToken> Tokenize(std::string_view text, char decimalSeparator);
    // Parses comparisons joined by AND from `start`, appending them to `out`. Returns the index
    // after "GROUP" when the list ended at GROUP BY, else 0. Throws "Error in comparison
    // expression" for anything else (OR and NOT between comparisons among it).
    static size_t ParseConditions(const std::vector<TVolgaToken>& tokens, size_t start,
                                  std::vector<TVolgaCField>& out);
    static bool IsReservedWord(std::string_view upperWord);
};
