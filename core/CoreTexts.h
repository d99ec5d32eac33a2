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
}  // namespace CoreTexts
