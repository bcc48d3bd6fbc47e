#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/RtfDecoder.h"
#include "richtext/RtfWords.h"

// The plain text of RTF without building a document: the lines
// plaintext::Lines gives for what TRtfReader reads, each followed by "\n",
// in one pass that keeps nothing of the formats. Searching every stored
// body goes through it; it reads through the same TRtfDecoder as the
// reader, so it takes the same text out of every destination, fallback,
// code page and group. The input is read in slices on request, so a caller
// can stop between two slices of a long body.
class TRtfText {
public:
    explicit TRtfText(std::string_view rtf);
    TRtfText(const TRtfText&) = delete;
    TRtfText& operator=(const TRtfText&) = delete;

    // Reads on for at least bytes of input (the control word or group at
    // the end is read whole); false once the document is read.
    bool Read(std::size_t bytes);
    bool Done() const { return finished_; }
    // The text so far; every line is followed by "\n" once it is complete,
    // so the text after the last "\n" is still growing. The caller may cut
    // complete lines off the front.
    std::u32string& Text() { return text_; }

    // The whole text of rtf.
    static std::u32string Of(std::string_view rtf);

private:
    // Groups carry no format of the text's own.
    struct TNoFormat {};
    friend class TRtfDecoder<TRtfText, TNoFormat>;

    // The decoder's sink; the formats, fonts and colours are not kept.
    void Char(char32_t c);
    void Text(std::string_view ascii);
    void Paragraph();
    void FormatChanged() {}
    void Font(int, const std::u32string&) {}
    void ColorEnd() {}
    void Link(const std::string&) {}
    void Word(rtfwords::TWord, bool, std::int64_t) {}

    TRtfDecoder<TRtfText, TNoFormat> decoder_;
    bool finished_ = false;
    std::u32string text_;
    bool paragraphHasText_ = false;
};
