// Text helpers of tabletool: TSV cells, field type names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VolgaTypes.h"

namespace tabletool {

// A cell as written by dump: backslash, tab, line feed and carriage return become \\ \t \n \r,
// other control bytes \xHH, so that every value stays on its line.
std::string EscapeCell(std::string_view s);
// The reverse of EscapeCell. A backslash not starting one of those sequences is kept as it is.
std::string UnescapeCell(std::string_view s);
// Splits a line (without its line end) at tabs.
std::vector<std::string_view> SplitTabs(std::string_view line);

// Declared type for a tabletool type name (case-insensitive), or nothing.
std::optional<TFieldType> TypeFromName(std::string_view name);

}  // namespace tabletool
