// The texts the browsing layer shows: the file actions and the export of the call data.
#pragma once

namespace BrowsingTexts {
inline constexpr const char* kMemoCaption = "Memo";
inline constexpr const char* kDeleteQuestion = "Delete selected record(s)?";
// The text stands as the program has always shown it.
inline constexpr const char* kExportCompleted = "Exproting data completed";
}  // namespace BrowsingTexts
