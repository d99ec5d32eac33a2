// The texts of the recording layer.
#pragma once

namespace RecordingTexts {
inline constexpr const char* kCanNotOpen = "Can not open ";
inline constexpr const char* kFilteredFile = "Filtered.d";
inline constexpr const char* kInboundCaption = "Inbound filtered numbers";
inline constexpr const char* kOutboundCaption = "Outbound filtered numbers";
inline constexpr const char* kFiltersCaption = "Filters";
inline constexpr const char* kTypePhoneNumber = "Type phone number";
inline constexpr const char* kLookupUnavailable =
    "Filtered numbers are not available: the list could not be opened";
inline constexpr const char* kRejected = "recording rejected by filter";
inline constexpr const char* kCanNotDelete = "file can not be deleted ";
inline constexpr const char* kRenameFailed = "\"RenameFile(OldName, NewName)\" failed";
inline constexpr const char* kDemoStart = "Demo start recording";
inline constexpr const char* kRecording = "Recording";
inline constexpr const char* kDemoStop = "Demo stop recording";
inline constexpr const char* kCaptureStopped = "Recording stopped: ";
// The audio input and its stand-ins.
inline constexpr const char* kAudioInput = "Audio input: ";
inline constexpr const char* kDeviceInput = "the sound card's default input";
inline constexpr const char* kToneInput = "a %1 Hz tone (stand-in for a microphone)";
inline constexpr const char* kWavInput = "the WAV file %1 (stand-in for a microphone)";
inline constexpr const char* kBadAudioInput =
    "Unknown audio input (use device, tone, tone:HZ or wav:PATH): ";
inline constexpr const char* kStandInNoAudio = "The WAV file holds no audio: ";
inline constexpr const char* kCloseRecording = "Error closing the recording file: ";
// Calls found at start without their record.
inline constexpr const char* kNoAudio =
    "nothing was recorded: the call is filed without a recording";
inline constexpr const char* kRecoveredMemo = "Recovered after an interruption";
inline constexpr const char* kRecoveredCall = "Recording recovered after an interruption: ";
inline constexpr const char* kRecoveredAsRecord =
    "Call recovered after an interruption (recordings are not kept): ";
inline constexpr const char* kEmptyRemoved = "Recording with no audio removed: ";
inline constexpr const char* kRecoveredRejected =
    "Recording left by an interruption rejected by filter: ";
inline constexpr const char* kNotRecoverable = "Recording left by an interruption not filed: ";
}  // namespace RecordingTexts
