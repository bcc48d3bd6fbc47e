#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Windows-1252 code page in which every stored text is kept, and its
// conversion to and from UTF-8 at the edges (user interface, tool output).
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the control characters of the same number, so every byte survives a
// round trip.
namespace cp1252 {

char32_t ToUnicode(unsigned char byte);
// The byte of a code point, or nothing when the code page lacks it.
std::optional<unsigned char> FromUnicode(char32_t cp);

std::string ToUtf8(std::string_view bytes);
// Characters the code page lacks, and malformed UTF-8, become '?'.
std::string FromUtf8(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);
// Decodes one code point at pos and advances pos; malformed input gives
// nothing and advances by one byte.
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& pos);

}  // namespace cp1252
