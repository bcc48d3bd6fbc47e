// Arbitrary bytes as a received HTML body (or, when the first byte is odd,
// a text/enriched one), through the HTML5 parser and the converter: never a
// crash, a hang or a read out of bounds, and the rich text keeps what the
// store relies on: ASCII only, every line's groups closed on that line so
// that no text can end the document early, the last line "\par }", and the
// same text for the reader's document and for find.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfText.h"
#include "store/RtfConvert.h"

namespace {

// Whether the unescaped braces of line pair up within it.
bool Balanced(std::string_view line) {
    int depth = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
            continue;
        }
        if (line[i] == '{') ++depth;
        if (line[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool enriched = data[0] & 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= input.size()) {
        const auto lf = input.find('\n', start);
        lines.emplace_back(input.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    if (enriched)
        rtfconvert::EnrichedToRtf(lines, 20);
    else
        rtfconvert::HtmlToRtf(lines, 20);
    if (lines.empty() || lines.back() != "\\par }") std::abort();
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const char c : lines[i])
            if (static_cast<unsigned char>(c) >= 0x80 || c == '\r' || c == '\n') std::abort();
        if (i + 1 < lines.size() && !Balanced(lines[i])) std::abort();
        rtf += lines[i];
        rtf += "\r\n";
    }
    std::u32string expected;
    for (const auto& line : plaintext::Lines(TRtfReader::Read(rtf))) {
        expected += line;
        expected += U'\n';
    }
    if (TRtfText::Of(rtf) != expected) std::abort();
    return 0;
}
