// Text primitives over single-byte texts; positions count from 1.
// None of them fails: every combination of arguments yields a text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ov {

// `n` copies of `ch`; empty when n <= 0.
std::string RepeatChar(char ch, std::int32_t n);
// The first n characters of s; s unchanged when n exceeds its length; empty when n <= 0.
std::string LeftPart(std::string_view s, std::int32_t n);
// The last n characters of s; s unchanged when n exceeds its length; empty when n <= 0.
std::string RightPart(std::string_view s, std::int32_t n);
// n blanks when the stretch p..p+n-1 runs past the end of s; otherwise up to n
// characters from position p (a start below 1 counts as 1). Empty when n <= 0.
std::string MidPart(std::string_view s, std::int32_t p, std::int32_t n);
// Exactly w characters: s right-aligned behind zeros, cut on the left when
// longer; empty when w <= 0.
std::string ZeroPad(std::int32_t w, std::string_view s);

// s without leading and trailing characters of codes 0 to 32.
std::string_view TrimControls(std::string_view s);
// s with the letters a to z turned into A to Z; nothing else changes.
std::string UpperCaseAscii(std::string_view s);
// True when a and b are equal with the letters a-z and A-Z taken as the same.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace ov
