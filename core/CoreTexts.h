// The texts the application core shows and logs.
#pragma once

namespace CoreTexts {
inline constexpr const char* kAppTitle = "Pelmorant";
inline constexpr const char* kVersion = "1.8.6";
inline constexpr const char* kOff = "Off";
inline constexpr const char* kIdle = "Idle";
inline constexpr const char* kChannelReset = "Channel Reset";
inline constexpr const char* kNewSession = "New session...";
inline constexpr const char* kClosingProgram = "Closing program...";
inline constexpr const char* kShownOnRequest = "Shown on request of a second start";
// The folder the Help command opens its pages from, logged at start.
inline constexpr const char* kHelpPages = "Help pages: ";
inline constexpr const char* kErrorStartingDir = "Error setting starting directory";
inline constexpr const char* kErrorInFormClose = "error in FormClose";
inline constexpr const char* kPasswordFailed = "       Password failed        ";
// The same failure at the developer key for the configuration (without the padding).
inline constexpr const char* kDeveloperPasswordFailed = "Password failed";
inline constexpr const char* kNoSoundCard =
    "Your system has no sound card or\nyour sound card is not set up properly.\nThis software "
    "requires a sound card to play WAV files";
inline constexpr const char* kErrorTreeToTable = "Error in TreeToVolgaTbl() -> ";
inline constexpr const char* kModelDemo = " Model Demo";
inline constexpr const char* kRecords = " Records ";
inline constexpr const char* kHardDiskUsed = " Hard disk used  ";
inline constexpr const char* kMb = " (Mb)";
inline constexpr const char* kCaptionNotFound = "Caption not found";
inline constexpr const char* kSettingsSetAside = "Unreadable settings file kept as ";
// The data folder named in registry.ini is not there at start (a drive not connected?).
inline constexpr const char* kDataFolderMissing =
    "The data folder\n%1\ndoes not exist. It may be "
    "on a drive that is not connected.\n\nCreate it there, choose another folder, or quit and "
    "connect the drive first?";
inline constexpr const char* kCreateIt = "Create it";
inline constexpr const char* kChooseAnother = "Choose another...";
inline constexpr const char* kQuit = "Quit";
inline constexpr const char* kChooseDataFolder = "Data folder";
inline constexpr const char* kDataFolderMissingQuit =
    "The data folder %1 does not exist (is its "
    "drive connected?). Pelmorant ends without creating it; connect the drive, or change "
    "\"appDataDir\" in %2.";
inline constexpr const char* kDataFolderNotMade = "The data folder %1 could not be created.";
inline constexpr const char* kDataFolderCreated = "Data folder was missing and was created: ";
inline constexpr const char* kDataFolderChanged = "Data folder changed by the user from %1 to %2";
}  // namespace CoreTexts
