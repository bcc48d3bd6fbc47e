#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

class IClock;

// Content type flags of a Content-Type value. The text types match with case,
// the structural ones without, so "Text/Plain" sets nothing while
// "Multipart/Mixed" sets ctMultipart.
enum TContentFlag : std::uint8_t {
    ctPlain = 0x01,        // "text/plain"
    ctRich = 0x02,         // "text/enriched" or "text/html"
    ctRtf = 0x04,          // "text/rtf"
    ctMultipart = 0x08,    // "multipart/"
    ctMessage = 0x10,      // "message/rfc"
    ctAlternative = 0x20,  // "multipart/alternative"
};

// Transfer encoding codes of a Content-Transfer-Encoding value.
enum TTransferEncoding : int {
    teNone = 0,  // 7bit, 8bit, binary, or no header
    teBase64 = 1,
    teQuotedPrintable = 2,
    teUUEncode = 3,
};

// The header routines of incoming mail. They are deliberately substring
// searches rather than tokenisers: a header named "TO" is found by "To:" and
// also by any line that begins with "to", and the first matching line wins.
// Header texts are the raw bytes of the message.
namespace mailheader {

// Blanks and TABs at both ends removed, nothing else.
std::string TrimBlanks(std::string_view s);

// The value of the first line of the block that begins with name (without
// regard to case), after its colon and the one character following it, with
// the following lines up to the first that holds a colon appended, each after
// one blank.
std::string HeaderValue(const std::vector<std::string>& block, std::string_view name);
// The parameter after the first occurrence of name (without regard to case,
// so "name" is found inside "filename"): a quoted text, or up to the first
// blank, without a trailing ";".
std::string ParamValue(std::string_view name, std::string_view value);
std::uint8_t ContentTypeFlags(std::string_view contentType);
TTransferEncoding TransferEncoding(std::string_view value);

// The display name of an address text; the mailbox address of one.
std::string NamePart(std::string_view address);
std::string AddressPart(std::string_view address);

// A Date (or Received) value as the store's display date. Anything that does
// not read as "Day, d Mon yyyy hh:nn[:ss]" gives the current time.
std::string DisplayDate(std::string_view value, const IClock& clock);

// The file name of a MIME part as UTF-8: the "name" parameter of its
// Content-Disposition, else of its Content-Type, with RFC 2231 extended
// values (filename*=charset''text, split ones too) and RFC 2047 encoded
// words decoded. Empty when the part names no file.
std::string PartFileName(std::string_view disposition, std::string_view contentType);

// A delimiter line of a multipart with this boundary: "--" and the boundary
// at the start, then "--" for the close delimiter, then nothing but blanks
// (RFC 2046 5.1.1). Content that merely holds the boundary's text (a quoted
// earlier message, a boundary that is a common word) is content, as every
// MIME reader takes it. An empty boundary never matches.
bool IsDelimiter(std::string_view line, std::string_view boundary);
// The close delimiter, "--boundary--".
bool IsCloseDelimiter(std::string_view line, std::string_view boundary);

}  // namespace mailheader
