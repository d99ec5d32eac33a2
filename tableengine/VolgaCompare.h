// Comparison of stored values, used by sorting, Locate, unique keys, ranges and filters.
#pragma once

#include <vector>

#include "TVolgaField.h"
#include "TVolgaRecordData.h"

// Compares the values of field `f` in two buffers of the same table: negative, zero, positive.
int VolgaCompareValues(const TVolgaField& f, const TVolgaRecordData& a, const TVolgaRecordData& b,
                       bool caseInsensitive);
// Compares the value of `fa` in `a` with that of `fb` in `b`, by `fa`'s type (fields of two
// compatible types, as in a filter comparing two fields of one record).
int VolgaCompareFieldPair(const TVolgaField& fa, const TVolgaRecordData& a, const TVolgaField& fb,
                          const TVolgaRecordData& b, bool caseInsensitive);
// Compares over a key list, field by field until one differs.
int VolgaCompareRecords(const std::vector<TVolgaField*>& keys, const TVolgaRecordData& a,
                        const TVolgaRecordData& b, bool caseInsensitive);
