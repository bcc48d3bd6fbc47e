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
// encoding; otherwise unchanged.
std::string EncodeHeaderText(std::string_view text);

}  // namespace qp
