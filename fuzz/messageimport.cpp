// An arbitrary file imported as a message: an RTF file stays as it is; any
// other text becomes a body that reads back as an RTF document whose plain
// text holds every line of the file, and importing that plain text again
// gives the same body.
#include "mail/MessageImport.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"

namespace {
std::string Joined(const std::vector<std::string>& lines) {
    std::string body;
    for (const auto& l : lines) body += l + "\r\n";
    return body;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = TMessageImport::BodyLines(content);
    const std::string body = Joined(lines);
    const std::string text = plaintext::Utf8(TRtfReader::Read(body));
    if (content.rfind("{\\rtf", 0) == 0) return 0;
    // Once the file is plain text of the document, it is a fixed point.
    const std::string again = plaintext::Utf8(TRtfReader::Read(Joined(TMessageImport::BodyLines(text))));
    if (again != text) std::abort();
    return 0;
}
