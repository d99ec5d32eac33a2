// The texts of the calls database and the folder tree.
#pragma once

namespace DatabaseTexts {
inline constexpr const char* kMainStorageMedium = "Main storage medium";
inline constexpr const char* kPrivateNumber = "PRIVATE NUMBER";
inline constexpr const char* kLongDistance = "LONG DISTANCE";
inline constexpr const char* kSmdr = "SMDR";
inline constexpr const char* kFileSizeError = "round(fileSizeByName";
inline constexpr const char* kTreeFromIniFailed = "TreeFromIni function failed";
inline constexpr const char* kTreeFromTableFailed = "TreeFromVolgaTbl function failed";
inline constexpr const char* kMainNotDeleted = "Main folder can not be deleted";
inline constexpr const char* kMainNotRenamed = "Main folder can not be renamed";
inline constexpr const char* kDeleteNodeQuestion =
    "Delete node? All of your files will be deleted \nAll of child nodes and files if existing "
    "will be also deleted";
inline constexpr const char* kLoadingDatabase = "Loading database files...";
inline constexpr const char* kProgress = "Progress";
inline constexpr const char* kUnsafeFileName = "Recording not deleted: unsafe file name ";
inline constexpr const char* kInbound = "Inbound";
inline constexpr const char* kOutbound = "Outbound";
inline constexpr const char* kOnDemand = "On demand";
inline constexpr const char* kUndefined = "Undefined";
// A table that could not be loaded at start.
inline constexpr const char* kTableDamaged = "The table %1 could not be read: %2";
inline constexpr const char* kDamagedKeptAs = "The damaged file is kept as %1";
inline constexpr const char* kRecordsRecovered =
    "%1 records were recovered: %2 from the damaged file, %3 from the copy in backupDB";
inline constexpr const char* kTableNotReplaced =
    "The table could not be replaced (%1); it stays closed and the damaged file stays in place";
inline constexpr const char* kCallsFromRecordings =
    "%1 calls were filed again from their recordings";
inline constexpr const char* kCallsToMain = "%1 calls whose folder was lost are shown in Main";
}  // namespace DatabaseTexts
