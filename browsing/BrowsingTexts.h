// The texts the browsing layer shows: the file actions, the player and the export of the call
// data.
#pragma once

namespace BrowsingTexts {
inline constexpr const char* kMemoCaption = "Memo";
inline constexpr const char* kDeleteQuestion = "Delete selected record(s)?";
inline constexpr const char* kSelectedFiles = "Selected Files";
inline constexpr const char* kMoveCaption = "Move";
inline constexpr const char* kMoveLabel = "Move the item(s) to the selected folder";
inline constexpr const char* kOk = "Ok";
inline constexpr const char* kCancel = "Cancel";
// E-mail: the body, a missing recording, and a mail program that could not take the message.
inline constexpr const char* kProductAddress = "https://pelmorant.example.org/";
inline constexpr const char* kMailBodyStart = "Hello,\n\n\nRecorded with ";
inline constexpr const char* kFileNotFound = "file %1 not found";
inline constexpr const char* kMailFailed = "The mail program could not take the message: %1";
inline constexpr const char* kMailNotInstalled =
    "no mail program can be started (xdg-email, from xdg-utils, is not installed)";
inline constexpr const char* kMailAttachmentNotFound = "Attachment not found";
inline constexpr const char* kMailGeneralFailure = "General MAPI failure";
inline constexpr const char* kMailNotSupported = "Not supported";
// The player.
inline constexpr const char* kWrongMedium = "You have put medium with wrong label";
inline constexpr const char* kFileNotFoundStart = "File ";
inline constexpr const char* kFileNotFoundEnd = " has not been found";
inline constexpr const char* kTotalTime = "Total Time ";
inline constexpr const char* kZeroTime = "00:00:00";
inline constexpr const char* kMediumLabelFile = "label.txt";
// The search's folder picker.
inline constexpr const char* kFoldersCaption = "Folders";
inline constexpr const char* kSelectItem = "Select item";
// The text stands as the program has always shown it.
inline constexpr const char* kExportCompleted = "Exproting data completed";
}  // namespace BrowsingTexts
