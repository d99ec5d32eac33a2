// A parsed filter text: its conditions, prepared for one cursor and evaluated on records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TVolgaCField.h"
#include "TVolgaFormatSettings.h"

class TVolgaCursor;

class TVolgaFilter {
public:
    // Parses a filter text (tokenize, then the condition list to the end). On an error the
    // filter is left empty and the error is rethrown.
    void SetText(std::string_view text, const TVolgaFormatSettings& fmt);
    const std::string& Text() const { return text_; }
    bool IsEmpty() const { return conditions_.empty(); }
    std::vector<TVolgaCField>& Conditions() { return conditions_; }

    // Checks the field names against the cursor ("Field %s is not found"), resolves field
    // comparisons, converts the literals to the left fields' stored forms and compiles LIKE
    // patterns.
    void Prepare(const TVolgaCursor& cursor, const TVolgaFormatSettings& fmt);
    // True when the record satisfies every condition (after Prepare). Throws
    // "Types of compared fields are not equal" for a field comparison of incompatible types.
    bool Evaluate(const TVolgaRecordData& record, bool caseInsensitive,
                  const TVolgaFormatSettings& fmt) const;
    // Evaluates one prepared condition on a record (shared with queries).
    static bool EvaluateCondition(const TVolgaCField& c, const TVolgaRecordData& record,
                                  bool caseInsensitive, const TVolgaFormatSettings& fmt);

private:
    std::string text_;
    std::vector<TVolgaCField> conditions_;
};
