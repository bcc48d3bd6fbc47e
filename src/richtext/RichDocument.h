#pragma once

#include <string>
#include <vector>

#include "richtext/CharFormat.h"
#include "richtext/ParaFormat.h"

// A rich text document: paragraphs of runs of Unicode text. Text is UTF-32 so
// that positions count characters; a line break inside a paragraph is
// U+2028 and a tab is U+0009. A paragraph carries the format of its
// paragraph mark too, so that an empty paragraph keeps its font, and the
// document keeps the format an empty document starts typing with.
class TRichDocument {
public:
    static constexpr char32_t kLineBreak = U'\u2028';

    struct Run {
        std::u32string text;
        TCharFormat format;
        friend bool operator==(const Run&, const Run&) = default;
    };
    struct Paragraph {
        TParaFormat format;
        TCharFormat markFormat;  // the paragraph mark's format
        std::vector<Run> runs;

        std::u32string Text() const;
        friend bool operator==(const Paragraph&, const Paragraph&) = default;
    };

    TCharFormat defaultChar;
    TParaFormat defaultPara;
    std::vector<Paragraph> paragraphs;

    bool Empty() const { return paragraphs.empty(); }
    // Appends a paragraph with one run (none when text is empty) in one format.
    Paragraph& AddParagraph(std::u32string text, const TCharFormat& chr, const TParaFormat& para = {});
    // Merges neighbouring runs of equal format and drops empty runs, so that
    // documents built differently compare equal when they look the same.
    void Normalize();

    friend bool operator==(const TRichDocument&, const TRichDocument&) = default;
};
