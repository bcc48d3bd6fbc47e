#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The stored form of a text field (a subject, a name, an address, a mailbox
// name, a list row's field) and its Unicode text.
//
// Text that Windows-1252 can hold is stored as its Windows-1252 bytes, byte
// for byte what older versions wrote. Text beyond it is stored with the runs
// of words that need it as RFC 2047 encoded words of UTF-8
// ("=?UTF-8?Q?caf=C3=A9_=E2=9C=93?=", "=?UTF-8?B?0J/RgNC40LLQtdGC?="), cut at
// whole characters so the whole stored form fits the field's limit. Older
// readers show such a field as the encoded words, legible and within their
// 255-character fields. Only encoded words of UTF-8 are read back; a literal
// text that would read as one is itself stored encoded, so every text makes
// the round trip.
namespace fieldtext {

constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
constexpr std::size_t kFieldLimit = 255;  // a field of an index line or list row

// The text of a stored field as UTF-8.
std::string Decode(std::string_view stored);
// The stored form of UTF-8 text, at most limit bytes. Malformed UTF-8 bytes
// are read as Windows-1252 characters.
std::string Encode(std::string_view utf8, std::size_t limit = kFieldLimit);
// A stored form cut to at most limit bytes: plain text keeps its first limit
// bytes, as older versions cut it; text with encoded words keeps as many
// whole characters as fit.
std::string Fit(std::string_view stored, std::size_t limit);

// UTF-8 text as Windows-1252 bytes when the code page holds all of it
// (malformed bytes count as Windows-1252 characters); nothing otherwise.
// What goes out as Windows-1252 goes out as it always did.
std::optional<std::string> ToWindows1252(std::string_view utf8);

// UTF-8 text in its case-folded form (each character upper-cased, then
// lower-cased, so "Привет", "ПРИВЕТ" and "привет" fold alike, as do "Σ",
// "σ" and "ς"). Malformed bytes are kept as they are.
std::string Fold(std::string_view utf8);
// One character folded the same way.
char32_t FoldChar(char32_t cp);
// The order of two UTF-8 texts without regard to case: <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);
// Whether needle occurs in text without regard to case (both UTF-8).
bool ContainsNoCase(std::string_view text, std::string_view needle);

}  // namespace fieldtext
