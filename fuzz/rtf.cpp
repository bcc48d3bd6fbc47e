// Arbitrary bytes as RTF: reading never crashes or hangs, and what we write
// from the result reads back to the same document, joined with or without
// line ends.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const TRichDocument doc = TRtfReader::Read(input);
    (void)plaintext::Utf8(doc);
    const auto lines = TRtfWriter::Lines(doc);
    std::string written, joined;
    for (const auto& l : lines) {
        written += l + "\r\n";
        joined += l;
    }
    const TRichDocument back = TRtfReader::Read(written);
    if (TRtfWriter::Write(back) != written) std::abort();
    if (!(TRtfReader::Read(joined).paragraphs == back.paragraphs)) std::abort();
    return 0;
}
