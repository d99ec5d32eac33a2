// The texts of the audio layer: capture, conversion and WAV files.
#pragma once

#include <string>

namespace AudioTexts {
// Capture device.
inline constexpr const char* kOpenInput = "Error opening audio device for input.";
inline constexpr const char* kPrepareHeader = "Error preparing input header.";
inline constexpr const char* kAddBuffer = "Error adding input buffer.";
inline constexpr const char* kUnprepareHeader = "Error unpreparing input header.";
inline constexpr const char* kCloseInput = "Error closing input device.";
inline constexpr const char* kInvalidBufferSize = "Invalid input buffer size.";
// Playback device.
inline constexpr const char* kOpenOutput = "Error opening audio device for output.";
inline constexpr const char* kPrepareOutputHeader = "Error preparing output header.";
inline constexpr const char* kPlayBuffer = "Error playing buffer.";
inline constexpr const char* kUnprepareOutputHeader = "Error unpreparing output header.";
inline constexpr const char* kCloseOutput = "Error closing output device.";
inline constexpr const char* kPauseOutput =
    "An error occurred whilst trying to pause an output device";
inline constexpr const char* kRestartOutput =
    "An error occurred whilst trying to restart an output device";
inline constexpr const char* kNoVolume = "This device does not support volume control.";
// Conversion.
inline constexpr const char* kConversionNotPossible = "Conversion not possible.";
inline constexpr const char* kTooLargeForBuffer =
    "Audio is too large to fit into conversion buffer";
// Objects.
inline constexpr const char* kFormatBufferTooSmall = "The wave format buffer is too small.";
inline constexpr const char* kNoGlobalMemory = "Cannot allocate global memory.";
inline constexpr const char* kWhileActive = "Cannot perform this action while active.";
inline constexpr const char* kWhileNotActive = "Cannot perform this action while not active.";
// The recording file (Linux: a write can fail with a full disk or a vanished folder).
inline constexpr const char* kCreateFile = "Can not create the recording file ";
inline constexpr const char* kWriteFile = "Error writing the recording file: ";
inline constexpr const char* kFileTooLarge =
    "The recording has reached the largest size a WAV file can hold.";
// Reading WAV files.
inline constexpr const char* kNotWaveFile = "The file is not a WAV file.";
inline constexpr const char* kDamagedWaveFile = "The WAV file is damaged: ";
inline constexpr const char* kReadFile = "Can not read the file ";

// A platform result code as a message, with the failing step in front:
// ResultCodeMessage("Error opening audio device for input.", 2) is
// "Error opening audio device for input.\nBad device ID.". Unknown non-zero codes give
// "An unexpected error has occurred (code #n).". Code 0 is no error: an empty string.
std::string ResultCodeMessage(const std::string& step, int code);
// The message text of a code alone, with "%s" (the step) and, for unknown codes, "%d" in it.
const char* ResultCodeTemplate(int code);
}  // namespace AudioTexts
