#include "richtext/PlainText.h"

#include "common/Windows1252.h"

namespace plaintext {

std::vector<std::u32string> Lines(const TRichDocument& doc) {
    std::vector<std::u32string> lines;
    for (const auto& p : doc.paragraphs) {
        lines.emplace_back();
        for (const auto& r : p.runs)
            for (const char32_t c : r.text) {
                if (c == TRichDocument::kLineBreak)
                    lines.emplace_back();
                else
                    lines.back().push_back(c);
            }
    }
    return lines;
}

std::vector<std::string> StoredLines(const TRichDocument& doc) {
    std::vector<std::string> out;
    for (const auto& line : Lines(doc)) {
        std::string s;
        s.reserve(line.size());
        for (const char32_t c : line) s.push_back(static_cast<char>(cp1252::FromUnicode(c).value_or('?')));
        out.push_back(std::move(s));
    }
    return out;
}

std::string Utf8(const TRichDocument& doc) {
    std::string out;
    for (const auto& line : Lines(doc)) {
        for (const char32_t c : line) cp1252::AppendUtf8(out, c);
        out += '\n';
    }
    return out;
}

}  // namespace plaintext
