#pragma once

#include <string>
#include <string_view>

// The file name of an attachment as a parameter of its MIME headers. A Linux
// file name may hold quotes, 8-bit bytes and even line breaks; written raw
// into the header they would end the value early or split the header.
namespace filenameparam {

// True when the name can go out as attribute="name": printable ASCII
// without quote or backslash, short enough for a folded line.
bool IsPlain(std::string_view name);
// The charset of the name's bytes: "utf-8" when they are valid UTF-8 (the
// usual file names on Linux), otherwise "windows-1252".
std::string CharsetOf(std::string_view name);

// "name" of Content-Type: name="file" when plain; otherwise the quoted
// value holds RFC 2047 encoded words, which is what readers that predate
// RFC 2231 look for.
std::string NameParameter(std::string_view name);
// "filename" of Content-Disposition: filename="file" when plain; otherwise
// RFC 2231: filename*=charset''%XX... percent-encoded, split into numbered
// sections (filename*0*=...; filename*1*=...) that each fit a folded line
// and never cut a character apart. Sections are joined by "; ".
std::string FileNameParameter(std::string_view name);

}  // namespace filenameparam
