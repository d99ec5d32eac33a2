// Conversions between a field's stored value and text.
#pragma once

#include <string>

#include "TVolgaField.h"
#include "TVolgaFormatSettings.h"
#include "TVolgaRecordData.h"

// Text of a stored value: integers in decimal, Boolean "Yes"/"No", Double and Currency with
// "0.######", Date / Time in the short date and long time forms ("" when 0 or less), DateTime
// as date and time, texts as they are, BLOB and Graphic "Not Found".
std::string VolgaValueToText(const TVolgaField& f, const TVolgaRecordData& r,
                             const TVolgaFormatSettings& fmt);
// The same text appended to `out` (texts straight from the record, without a copy between).
void VolgaAppendValueText(const TVolgaField& f, const TVolgaRecordData& r,
                          const TVolgaFormatSettings& fmt, std::string& out);
// Stored value of a text; the destination value is cleared first.
void VolgaTextToValue(const TVolgaField& f, const std::string& text, TVolgaRecordData& r,
                      const TVolgaFormatSettings& fmt);
