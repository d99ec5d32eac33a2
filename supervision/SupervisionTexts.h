// The texts the configuration, the schedule and the password windows show and log.
#pragma once

namespace SupervisionTexts {
// The copies of the database files.
inline constexpr const char* kBackupDatabaseFiles = "backup database files";
// Configuration window and its pages.
inline constexpr const char* kConfigCaption = "Configuration";
inline constexpr const char* kTabChannels = "   Channels   ";
inline constexpr const char* kTabGeneral = "   General settings   ";
inline constexpr const char* kTabAlarms = "   Alarms   ";
inline constexpr const char* kTabSchedule = "   Schedule   ";
inline constexpr const char* kTabBackup = "Medium mangagement";
inline constexpr const char* kTabStorage = "   Storage   ";
inline constexpr const char* kTabFilters = "   Filters     ";
inline constexpr const char* kTabSecurity = "  Security  ";
inline constexpr const char* kOk = "Ok";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kChannelItem = "channel ";
inline constexpr const char* kDemoChannel = "Demo channel";
inline constexpr const char* kValueOutOfLimits = "Value out of limits";
inline constexpr const char* kMaximumSetTo = "Value out of limits. Maximum value is set to ";
inline constexpr const char* kMinimumSetTo = "Value out of limits. Minimum value is set to ";
inline constexpr const char* kUsedSpace = "Used space ";
inline constexpr const char* kFreeSpace = "Free space ";
inline constexpr const char* kMbSuffix = " Mb";
inline constexpr const char* kFreeDisk = "Free disk";
inline constexpr const char* kUsedDisk = "Used disk";
inline constexpr const char* kSelectFolder = "Select folder";
inline constexpr const char* kLoadAtStartup = "Load at OS start-up";
inline constexpr const char* kCreateNodesPerDate = "Create nodes per date";
inline constexpr const char* kSaveCallerName = "Save caller's name in memo field";
inline constexpr const char* kTrimLeadingDigits = "Trim leading digits";
inline constexpr const char* kRecycleHdd = "Delete 30% of files when storage medium is full";
inline constexpr const char* kKeepDbCopy = "Keep a copy of database files every";
inline constexpr const char* kPasswordsGroup = "  Passwords  ";
inline constexpr const char* kAdministrator = "Administrator ";
inline constexpr const char* kAccess = "Access";
inline constexpr const char* kChange = "Change";

// Event log lines.
inline constexpr const char* kProgramOnStartup = "program on startup";
inline constexpr const char* kProgramRemovedFromStartup = "program removed from startup";
inline constexpr const char* kStartupNotRegistered = "program could not be put on startup: ";
inline constexpr const char* kStartupNotRemoved = "program could not be removed from startup: ";
inline constexpr const char* kAdminPasswordUnreadable =
    "Administrator password could not be read and is off: ";
inline constexpr const char* kAccessPasswordUnreadable =
    "Access password could not be read and is off: ";
inline constexpr const char* kSettingsNotSaved = "Settings could not be saved: ";

// Password windows and the cipher.
inline constexpr const char* kPasswordProtection = "Password protection";
inline constexpr const char* kNewPassword = "New password";
inline constexpr const char* kNewPasswordConfirm = "New password confirm";
inline constexpr const char* kPassword = "Password";
inline constexpr const char* kConfirmationFailed = "Password Confirmartion failed";
inline constexpr const char* kInvalidBase64 = "Invalid Base64 Character";
inline constexpr const char* kInvalidFileFormat = "Invalid file format";

// Schedule page.
inline constexpr const char* kDay = "Day";
inline constexpr const char* kStartTime = "Start time";
inline constexpr const char* kStopTime = "Stop time";
inline constexpr const char* kFullDay = "24 hours";
// Alarms: the messages of the alarm types, the Alarms view's question and its answers.
inline constexpr const char* kHardwareAlarm = "Hardware failure detected";
inline constexpr const char* kHddFullAlarm = "Main storage medium is full";
inline constexpr const char* kOverTimeAlarm = "Recording reached maximum time on channel ";
inline constexpr const char* kSoftwareAlarm = "Software error: ";
inline constexpr const char* kOnChannel = " on channel ";
inline constexpr const char* kClearMessages = "  Clear Messages?  ";
inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";

// Alarm e-mail.
inline constexpr const char* kMailOverTimeSubject = "OverTime alarm";
inline constexpr const char* kMailOverTimeLine = "Recording reached maximum time on channel ";
inline constexpr const char* kMailSoftwareSubject = "Software error alarm";
inline constexpr const char* kMailSoftwareLine1 = "Software error occured. Please reset hardware";
inline constexpr const char* kMailSoftwareLine2 = "Software error";
inline constexpr const char* kMailHddFullSubject = "HDD full alarm";
inline constexpr const char* kMailHddFullLine1 =
    "Main storage medium is full. Please follow back-up procedure";
inline constexpr const char* kMailHddFullLine2 = "HDDD full alarm";
inline constexpr const char* kMailTestSubject = "Alarm test";
inline constexpr const char* kMailTestLine = "Test message";
inline constexpr const char* kMailReportedBy = "Reported by ";  // + the application title
inline constexpr const char* kMailTestCompleted = "      Test completed      ";
inline constexpr const char* kMailCannotConnect = "Can not connect to server";
inline constexpr const char* kMailCannotDisconnect = "Can not disconect from server";
// The developer's Tests window.
inline constexpr const char* kTestsCaption = "Tests";
inline constexpr const char* kStartSimulation = "Start simulation";
inline constexpr const char* kStopSimulation = "Stop simulation";
inline constexpr const char* kSeconds = "(sec)";
inline constexpr const char* kTestRecycle = "Delete 30% of files when storage medium is full";
inline constexpr const char* kTestBackup = "Transfer files to backup area";
inline constexpr const char* kTestResetLabels = "Reset database  medium label to default";
inline constexpr const char* kTestOk = "ok";
inline constexpr const char* kOperationCompleted = "Operation completed";

// Storage runs.
inline constexpr const char* kThreadId = "thread  id->";
inline constexpr const char* kMainStorageSize = "Main storage size  ";
inline constexpr const char* kRecycleDiskSize = "recycle disk size  ";
inline constexpr const char* kRecycleDiskCompleted = "recycle disk completed";
inline constexpr const char* kToBeDeleted = "to be deleted";
inline constexpr const char* kDeletingBackupArea = "Deleting files in backup area...";
inline constexpr const char* kErrorCreating = "Error creating ";
inline constexpr const char* kLabelFile = "label.txt";
inline constexpr const char* kBackupSize = "bakcupSize  ";
inline constexpr const char* kErrorMovingFile = "error moving file ";
inline constexpr const char* kMovingTo = " to ";
inline constexpr const char* kFileDoesNotExist = "file does not exists ";
inline constexpr const char* kBackupCompleted = "backup completed";
// A file of the previous batch that is not on the backup medium: the area is kept as it is.
inline constexpr const char* kBackupAreaNotCopied = "backup area not copied to medium: ";
// A recording that could not be deleted keeps its call record.
inline constexpr const char* kErrorDeletingFile = "error deleting file ";
}  // namespace SupervisionTexts
