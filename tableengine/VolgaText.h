// Text helpers: field texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

// Upper-cases by Unicode rules (through the C library's UTF-8 locale).
std::string VolgaUpper(std::string_view s);
// Locale-order comparison ignoring case (negative, zero, positive).
int VolgaCompareTextCI(std::string_view a, std::string_view b);
// Byte-order comparison (negative, zero, positive).
int VolgaCompareTextCS(std::string_view a, std::string_view b);
// Text comparison of the engine: an empty text sorts before a non-empty one (by length); else
// the first min(length) bytes decide, then the shorter text sorts first.
int VolgaCompareText(std::string_view a, std::string_view b, bool caseInsensitive);
// Cuts `s` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string VolgaCutUtf8(std::string_view s, size_t maxBytes);
bool VolgaSameTextCI(std::string_view a, std::string_view b);  // ASCII-insensitive equality
std::string VolgaTrim(std::string_view s);  // removes leading/trailing blanks and controls
