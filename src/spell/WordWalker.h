#pragma once

#include <optional>
#include <string>

class ISpellText;

// A point in a text: a line and a column, both counted from 0.
struct TTextPoint {
    int line = 0;
    int column = 0;
    friend auto operator<=>(const TTextPoint&, const TTextPoint&) = default;
};

// A word of a line: columns [start, end).
struct TWordSpan {
    int line = 0;
    int start = 0;
    int end = 0;
    std::string text;
};

// Walks the words of a range of a text. A word starts at a letter and runs
// over letters and apostrophes within one line; apostrophes that close it
// ("dogs'", a word in single quotes) are no part of it, so the word looked up
// and replaced is the one the writer meant. A word that starts before the
// end of the range is taken whole.
class TWordWalker {
public:
    TWordWalker(const ISpellText& text, TTextPoint from, TTextPoint to);

    // The Windows-1252 letters: A-Z, a-z, the accented letters and 0x8A,
    // 0x8C, 0x9A, 0x9C, 0x9F; and kOtherLetter, a letter the code page lacks.
    static bool IsLetter(unsigned char c);

    // The next word of the range, or nothing at its end.
    std::optional<TWordSpan> Next();

    // The word just returned was replaced by a text of newLength columns:
    // the walk goes on after the replacement, and when the word lies on the
    // range's last line the range end moves by the difference, so a longer
    // replacement still leaves the words after it inside the range.
    void Replaced(const TWordSpan& word, int newLength);

    TTextPoint Position() const { return at_; }
    TTextPoint End() const { return to_; }

private:
    const ISpellText& text_;
    TTextPoint at_;
    TTextPoint to_;
};
