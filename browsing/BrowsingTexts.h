// The texts the browsing layer shows: the file actions, the player, the export of the call
// data and the printed call list.
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
// Printing and the preview.
inline constexpr const char* kPrintTitle = "Pelmorant - call list";
inline constexpr const char* kPageFooter = "Page %1 from %2";
inline constexpr const char* kColumnNum = "Num";
inline constexpr const char* kColumnChannel = "Channel";
inline constexpr const char* kColumnDate = "Date";
inline constexpr const char* kColumnTime = "Time";
inline constexpr const char* kColumnDuration = "Duration";
inline constexpr const char* kColumnDirection = "Direction";
inline constexpr const char* kColumnFolder = "Folder";
inline constexpr const char* kColumnDtmf = "DTMF digits";
inline constexpr const char* kColumnCallerId = "Caller ID";
inline constexpr const char* kColumnMemo = "Memo";
inline constexpr const char* kShortened = "..";
inline constexpr const char* kDocumentTitle = "document.pdf";
inline constexpr const char* kPrintCaption = "Print";
inline constexpr const char* kPrinterGroup = " Printer ";
inline constexpr const char* kPrinterName = "Name: ";
inline constexpr const char* kPdfPrinterName = "PDF file";
inline constexpr const char* kPortrait = "Orientation: Portrait";
inline constexpr const char* kLandscape = "Orientation: Landscape";
inline constexpr const char* kFontName = "Font name: ";
inline constexpr const char* kFontSize = "Font size: ";
inline constexpr const char* kRangeGroup = " Print range ";
inline constexpr const char* kRangeAll = "All";
inline constexpr const char* kRangePages = "Pages";
inline constexpr const char* kRangeFrom = "From:";
inline constexpr const char* kRangeTo = "To:";
inline constexpr const char* kCopiesGroup = " Copies ";
inline constexpr const char* kCopies = "Number of copies";
inline constexpr const char* kPdfFileCaption = "Print to PDF file";
inline constexpr const char* kPdfFilter = "*.pdf";
inline constexpr const char* kPdfNotWritten = "The PDF file %1 could not be written";
inline constexpr const char* kPrintNotStarted = "The printer %1 could not print the job";
inline constexpr const char* kNewPageFailed = "The printer could not start a new page";
inline constexpr const char* kPreviewCaption = "Print preview";
inline constexpr const char* kPreviewPrint = "Print";
inline constexpr const char* kPreviousPage = "Previous page";
inline constexpr const char* kNextPage = "Next page";
inline constexpr const char* kClose = "Close";
inline constexpr const char* kPreviewNotDrawn = "The page of %1 x %2 pixels could not be drawn";
}  // namespace BrowsingTexts
