#pragma once

#include <string>
#include <string_view>
#include <vector>

class IUserPrompt;

// Quoted-printable (RFC 2045 6.7): "=XX" escapes, soft line breaks (a line
// ending in "="), transport blanks at line ends dropped. A "=" that starts
// no escape stays as it is.
namespace quotedprintable {

// Decodes one physical line into out; true when it ends in a soft break
// (its text continues on the next line).
bool DecodeLine(std::string_view line, std::string& out);
// The logical lines of a quoted-printable text.
std::vector<std::string> DecodeLines(const std::vector<std::string>& lines);
// Decodes an attachment file in place, through path + ".bak". On an
// input/output error the prompt shows " could not decode attachment NAME."
// and the file stays undecoded; the result is then false.
bool DecodeFile(const std::string& path, IUserPrompt& prompt);

}  // namespace quotedprintable
