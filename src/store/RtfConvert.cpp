#include "store/RtfConvert.h"

#include "common/Windows1252.h"
#include "store/EnrichedToRtf.h"
#include "store/HtmlToRtf.h"
#include "store/RtfFragment.h"

namespace rtfconvert {

namespace {

// The character at pos of UTF-8 text; a stray byte is read as Windows-1252.
char32_t NextChar(std::string_view text, std::size_t& pos) {
    const std::size_t before = pos;
    const auto cp = cp1252::DecodeUtf8(text, pos);
    if (cp) return *cp;
    pos = before + 1;
    return cp1252::ToUnicode(static_cast<unsigned char>(text[before]));
}

}  // namespace

std::string EscapeNonAscii(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t run = pos;
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8.data() + pos, run - pos);
        pos = run;
        if (pos >= utf8.size()) break;
        TRtfFragment::AppendChar(out, NextChar(utf8, pos));
    }
    return out;
}

void PlainToRtf(std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::string out = i ? "\\par " : "";
        out.reserve(out.size() + line.size() + line.size() / 16);
        std::size_t pos = 0;
        while (pos < line.size()) {
            std::size_t run = pos;
            while (run < line.size()) {
                const char c = line[run];
                if (c == '\\' || c == '{' || c == '}' || static_cast<unsigned char>(c) >= 0x80) break;
                ++run;
            }
            out.append(line.data() + pos, run - pos);
            pos = run;
            if (pos >= line.size()) break;
            if (static_cast<unsigned char>(line[pos]) < 0x80) {
                out += '\\';
                out += line[pos++];
                continue;
            }
            TRtfFragment::AppendChar(out, NextChar(line, pos));
        }
        lines[i] = std::move(out);
    }
    lines.emplace_back("\\par }");
}

void HtmlToRtf(std::vector<std::string>& lines, int baseHalfPoints) {
    lines = THtmlToRtf::Convert(lines, baseHalfPoints);
}

void EnrichedToRtf(std::vector<std::string>& lines, int baseHalfPoints) {
    lines = TEnrichedToRtf::Convert(lines, baseHalfPoints);
}

}  // namespace rtfconvert
