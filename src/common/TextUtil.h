#pragma once

#include <optional>
#include <string>
#include <string_view>

// Small text helpers on Windows-1252 bytes. Case rules are those of ASCII
// letters; the stored texts compare the way the original files expect.
namespace text {

std::string Trim(std::string_view s);  // blanks, TABs, CR and LF at both ends
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
// Position of the first occurrence of needle in s without regard to case, or npos.
std::size_t FindNoCase(std::string_view s, std::string_view needle);
bool EndsWith(std::string_view s, std::string_view suffix);

// A whole text as a signed 32-bit integer: decimal, or hexadecimal when the text
// has more than two characters and begins with "0x" or "0X". Anything else
// (blanks, trailing letters, overflow) gives nothing.
std::optional<int> ParseInt(std::string_view s);
// Orders texts with their runs of digits compared as numbers ("Home2" before
// "Home10"), everything else byte by byte.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace text
