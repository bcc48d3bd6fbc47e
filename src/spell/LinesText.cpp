#include "spell/LinesText.h"

TLinesText::TLinesText(std::string_view text) {
    std::size_t pos = 0;
    while (true) {
        const std::size_t lf = text.find('\n', pos);
        std::string_view line = text.substr(pos, lf == std::string_view::npos ? std::string_view::npos : lf - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (lf == std::string_view::npos) break;
        pos = lf + 1;
    }
}

std::string_view TLinesText::Line(int line) const {
    if (line < 0 || line >= LineCount()) return {};
    return lines_[static_cast<std::size_t>(line)];
}

bool TLinesText::Replace(int line, int start, std::string_view expected, std::string_view text) {
    if (line < 0 || line >= LineCount() || start < 0) return false;
    std::string& l = lines_[static_cast<std::size_t>(line)];
    if (static_cast<std::size_t>(start) > l.size() ||
        l.compare(static_cast<std::size_t>(start), expected.size(), expected) != 0)
        return false;
    l.replace(static_cast<std::size_t>(start), expected.size(), text);
    return true;
}

std::string TLinesText::Text() const {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i) out += '\n';
        out += lines_[i];
    }
    return out;
}
