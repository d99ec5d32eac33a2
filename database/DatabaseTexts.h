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
}  // namespace DatabaseTexts
