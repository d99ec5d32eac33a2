// The simulator's sample numbers and names.
#pragma once

#include <array>

namespace TSampleCallers {
// Ten-digit numbers an outgoing call dials.
extern const std::array<const char*, 50> DialledNumbers;
// Caller numbers: "PRIVATE CALL" at 5, 19, 32 and "LONG DISTANCE" at 12, 27, 36.
extern const std::array<const char*, 50> CallerNumbers;
// Aligned with CallerNumbers: empty for the texts above, "WIRELESS CALLER" at 9, 46, 48.
extern const std::array<const char*, 50> CallerNames;
}  // namespace TSampleCallers
