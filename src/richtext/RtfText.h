#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCodePage;

// The plain text of RTF without building a document: the lines
// plaintext::Lines gives for what TRtfReader reads, each followed by "\n",
// in one pass that keeps nothing of the formats. Searching every stored
// body goes through it, so it must read exactly what the reader reads:
// it follows the reader's rules for destinations, \uc skipping, \bin,
// surrogate pairs, code pages of fonts and groups. The input is read in
// slices on request, so a caller can stop between two slices of a long
// body.
class TRtfText {
public:
    explicit TRtfText(std::string_view rtf);
    ~TRtfText();
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
    enum class TDest { Body, Skip, FontTable, ColorTable };
    struct TState {
        TDest dest = TDest::Body;
        int font = -1;  // -1: the default font (\deff)
        int uc = 1;
        bool inUpr = false;
    };

    void Step();
    void OpenGroup();
    void CloseGroup();
    void ControlSequence();
    void Word(std::string_view name, bool hasParam, std::int64_t param);
    void Unicode(std::int64_t param);
    void TextByte(unsigned char b);
    void DocumentByte(unsigned char b);
    void FlushBytes();
    const TCodePage& CurrentCodePage();
    const TCodePage& CodePage(int number);
    void CommitFont();
    void Char(char32_t c);
    void EndParagraph();
    void Finish();

    std::string_view s_;
    std::size_t pos_ = 0;
    bool done_ = false;
    bool finished_ = false;
    bool wrapped_ = false;

    TState state_;
    std::vector<TState> stack_;
    std::size_t overflow_ = 0;
    bool star_ = false;
    int skip_ = 0;
    char32_t highSurrogate_ = 0;

    int ansiCodePage_ = 1252;
    int deff_ = 0;
    std::map<int, int> fonts_;  // number -> code page, 0 for the document's
    int fontNumber_ = -1;
    int fontCharset_ = 0;
    std::string fontName_;
    std::map<int, std::unique_ptr<TCodePage>> codePages_;
    std::string pending_;
    int pendingCodePage_ = 1252;
    const TCodePage* cpCache_ = nullptr;
    int cpFont_ = 0;
    int cpAnsi_ = 0;

    std::u32string text_;
    bool paragraphHasText_ = false;
};
