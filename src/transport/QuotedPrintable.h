#pragma once

#include <string>
#include <string_view>
#include <vector>

// Quoted-printable of RFC 2045 and the "Q" encoded words of RFC 2047.
namespace qp {

// One text line (without its line end) as quoted-printable lines of at most
// 76 characters, joined by soft line breaks.
std::vector<std::string> EncodeLine(std::string_view line);
// True when text holds a byte that may not appear raw in a 7-bit header or
// body: above 126, or a control other than TAB.
bool NeedsEncoding(std::string_view text);
// Header text as RFC 2047 encoded words in windows-1252 when it needs
// encoding (NeedsWords); otherwise unchanged.
std::string EncodeHeaderText(std::string_view text);
// True when header text cannot go out as it is: it needs encoding, holds a
// run of non-blank characters (or of blanks) too long for one folded line,
// or holds "=?", which a reader would take for the start of an encoded word.
bool NeedsWords(std::string_view text);
// Text as "Q" encoded words of at most 75 characters separated by blanks,
// each word holding whole characters (a UTF-8 sequence is never split), using
// only the characters RFC 2047 allows inside a phrase.
std::string EncodeWords(std::string_view text, std::string_view charset = "windows-1252");
// Longest run of non-blank characters header text may keep unencoded: it
// still fits a folded line of 78 after the blank that starts the line.
inline constexpr std::size_t kMaxHeaderWord = 76;

}  // namespace qp
