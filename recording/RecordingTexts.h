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
}  // namespace RecordingTexts
