#include "spell/WordWalker.h"

#include <algorithm>

#include "spell/SpellText.h"

TWordWalker::TWordWalker(const ISpellText& text, TTextPoint from, TTextPoint to) : text_(text), at_(from), to_(to) {
    at_.line = std::max(at_.line, 0);
    at_.column = std::max(at_.column, 0);
}

bool TWordWalker::IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0x8A || c == 0x8C || c == 0x9A || c == 0x9C ||
           c == 0x9F || c == static_cast<unsigned char>(kOtherLetter) || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
}

std::optional<TWordSpan> TWordWalker::Next() {
    const int lines = std::min(text_.LineCount(), to_.line + 1);
    while (at_.line < lines) {
        const std::string_view line = text_.Line(at_.line);
        const int size = static_cast<int>(line.size());
        int c = at_.column;
        while (c < size && !IsLetter(static_cast<unsigned char>(line[c]))) ++c;
        if (c >= size || (at_.line == to_.line && c >= to_.column)) {
            if (at_.line >= to_.line) break;
            ++at_.line;
            at_.column = 0;
            continue;
        }
        int e = c;
        int last = c;  // one past the last letter
        while (e < size && (IsLetter(static_cast<unsigned char>(line[e])) || line[e] == '\'')) {
            if (line[e] != '\'') last = e + 1;
            ++e;
        }
        at_.column = last;
        return TWordSpan{at_.line, c, last, std::string(line.substr(c, last - c))};
    }
    at_ = to_;
    return std::nullopt;
}

void TWordWalker::Replaced(const TWordSpan& word, int newLength) {
    const int grown = newLength - (word.end - word.start);
    if (word.line == to_.line) to_.column += grown;
    at_ = {word.line, word.start + newLength};
}
