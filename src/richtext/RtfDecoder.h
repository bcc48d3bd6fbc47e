#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/CodePage.h"
#include "richtext/LinkTarget.h"
#include "richtext/RichDocument.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWords.h"

// Reads RTF down to the characters and paragraph ends of its body text and
// hands them to a sink that makes of them what it needs: TRtfReader a
// document, TRtfText the bare text. Both read through this one piece, so that
// a search finds exactly what the windows show: groups and their depth limit,
// destinations that are not text, \uc fallback skipping, \bin, surrogate
// pairs, the code pages of fonts and of the document are all decided here.
// The work is linear in the input and never recursive.
//
// A group carries the sink's own TFormat beside what the decoder keeps of it;
// it is saved when the group opens and restored when it closes. The sink
// provides:
//   void Char(char32_t c);          a character of body text (a tab or printable)
//   void Text(std::string_view s);  a run of printable ASCII body text
//   void Paragraph();               the end of a paragraph
//   void FormatChanged();           the font in effect may differ now
//   void Font(int number, const std::u32string& name);
//                                   a font table entry, name decoded and trimmed
//   void ColorEnd();                the ";" that ends a colour table entry
//   void Link(const std::string& url);
//                                   the result of a field begins; it leads to
//                                   url (empty: to nowhere) until its group ends
//   void Word(rtfwords::TWord w, bool hasParam, std::int64_t param);
//                                   a known word the decoder leaves to the sink,
//                                   outside skipped text: colour table words,
//                                   \pn and character and paragraph formats
template <class TSink, class TFormat>
class TRtfDecoder {
public:
    TRtfDecoder(std::string_view rtf, TSink& sink) : s_(rtf), sink_(sink) {
        // Only a document that opens with a group ends where that group
        // closes; bare fragments ("x{\b y}z") are read to their end.
        const std::size_t first = s_.find_first_not_of(" \t\r\n");
        wrapped_ = first != std::string_view::npos && s_[first] == '{';
    }
    TRtfDecoder(const TRtfDecoder&) = delete;
    TRtfDecoder& operator=(const TRtfDecoder&) = delete;

    // Reads on for at least bytes of input (the control word or group at the
    // end is read whole). False once the document is read; the bytes of a
    // multi-byte character still waiting are decoded by then.
    bool Read(std::size_t bytes) {
        const std::size_t until = bytes >= s_.size() - pos_ ? s_.size() : pos_ + bytes;
        while (pos_ < until && !done_) Step();
        if (pos_ < s_.size() && !done_) return true;
        FlushBytes();
        return false;
    }

    bool InBody() const { return state_.dest == TDest::Body; }
    // The sink's format of the current group.
    TFormat& Format() { return state_.format; }
    const TFormat& Format() const { return state_.format; }
    // The format of the group around the current one; none at the top, nor
    // where groups nest too deep to have their own.
    TFormat* OuterFormat() { return stack_.empty() || overflow_ > 0 ? nullptr : &stack_.back().format; }
    // The number of the font the text is in: \deff until the text picks one.
    int FontNumber() const { return state_.font < 0 ? deff_ : state_.font; }

private:
    using TWord = rtfwords::TWord;

    static constexpr char32_t kReplacement = U'\uFFFD';
    // However many code pages a document names, only so many are opened.
    static constexpr std::size_t kMaxCodePages = 16;
    static constexpr std::size_t kMaxInstruction = 8192;

    enum class TDest { Body, Skip, FontTable, ColorTable, FieldInst };

    struct TState {
        TDest dest = TDest::Body;
        int font = -1;  // -1: the default font (\deff)
        int uc = 1;
        bool inUpr = false;
        [[no_unique_address]] TFormat format{};
    };

    static int Clamp(std::int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<std::int64_t>(v, lo, hi)); }
    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void Step() {
        const char c = s_[pos_];
        switch (c) {
            case '{':
                ++pos_;
                OpenGroup();
                return;
            case '}':
                ++pos_;
                CloseGroup();
                return;
            case '\\':
                ControlSequence();
                return;
            case '\r':
            case '\n':
            case '\0':
                ++pos_;
                return;
            default:
                break;
        }
        if (state_.dest == TDest::Skip) {
            // Fast forward over text nobody reads.
            while (pos_ < s_.size() && s_[pos_] != '\\' && s_[pos_] != '{' && s_[pos_] != '}') ++pos_;
            return;
        }
        ++pos_;
        TextByte(static_cast<unsigned char>(c));
        // Printable ASCII in the body is the text itself; the sink takes the
        // rest of the run at once.
        if (state_.dest == TDest::Body && skip_ == 0 && pending_.empty() && highSurrogate_ == 0) {
            std::size_t end = pos_;
            while (end < s_.size()) {
                const char t = s_[end];
                if (t < 0x20 || t > 0x7E || t == '\\' || t == '{' || t == '}') break;
                ++end;
            }
            if (end > pos_) {
                sink_.Text(std::string_view(s_.data() + pos_, end - pos_));
                pos_ = end;
            }
        }
    }

    void OpenGroup() {
        FlushBytes();
        skip_ = 0;
        star_ = false;
        // Groups nested deeper than the limit share their parent's state.
        if (stack_.size() >= TRtfReader::kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(state_);
    }

    void CloseGroup() {
        FlushBytes();
        skip_ = 0;
        star_ = false;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (state_.dest == TDest::FontTable) CommitFont();
        if (stack_.empty()) {
            // Nothing open to close: a fragment reads on past a stray brace.
            if (wrapped_) done_ = true;
            return;
        }
        if (stack_.size() == 1 && wrapped_) {
            // The document ends here, in the state inside its group: its last
            // paragraph and its defaults are that state's.
            done_ = true;
            return;
        }
        // A field's instruction ends where its own group does.
        const bool instructionEnds = state_.dest == TDest::FieldInst && stack_.back().dest != TDest::FieldInst;
        state_ = stack_.back();
        stack_.pop_back();
        if (instructionEnds) fieldLink_ = linktarget::FromFieldInstruction(fieldInst_);
        sink_.FormatChanged();
    }

    void ControlSequence() {
        ++pos_;  // the backslash
        if (pos_ >= s_.size()) return;
        const char c = s_[pos_];
        if (IsLetter(c)) {
            const std::size_t start = pos_;
            while (pos_ < s_.size() && IsLetter(s_[pos_])) ++pos_;
            // Words are at most 32 letters; a longer one is no word we know.
            const std::string_view name = s_.substr(start, std::min<std::size_t>(pos_ - start, 33));
            bool hasParam = false;
            std::int64_t param = 0;
            bool negative = false;
            if (pos_ < s_.size() && s_[pos_] == '-' && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            while (pos_ < s_.size() && IsDigit(s_[pos_])) {
                hasParam = true;
                if (param <= rtfwords::kParamLimit) param = param * 10 + (s_[pos_] - '0');
                ++pos_;
            }
            param = std::min(param, rtfwords::kParamLimit);
            if (negative) param = -param;
            if (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
            Word(name, hasParam, param);
            return;
        }
        ++pos_;
        if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && pos_ < s_.size() && HexValue(s_[pos_]) >= 0) {
                value = value * 16 + HexValue(s_[pos_]);
                ++pos_;
                ++digits;
            }
            star_ = false;
            if (digits == 0 || state_.dest == TDest::Skip) return;
            if (skip_ > 0) {
                --skip_;
                return;
            }
            if (state_.dest == TDest::FontTable) {
                fontName_.push_back(static_cast<char>(value));
                return;
            }
            if (state_.dest == TDest::FieldInst) {
                FieldByte(static_cast<unsigned char>(value));
                return;
            }
            if (state_.dest == TDest::Body) DocumentByte(static_cast<unsigned char>(value));
            return;
        }
        if (c == '*') {
            star_ = true;
            return;
        }
        star_ = false;
        if (state_.dest == TDest::Skip) return;
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                TextByte(static_cast<unsigned char>(c));
                return;
            case '~':
                Char(U'\u00A0');
                return;
            case '_':
                Char(U'\u2011');
                return;
            case '\r':
            case '\n':
                if (state_.dest == TDest::Body) EndParagraph();
                return;
            case '\t':
                Char(U'\t');
                return;
            default:
                return;  // \- optional hyphen, \| \: index marks, and unknown symbols
        }
    }

    void Word(std::string_view name, bool hasParam, std::int64_t param) {
        // Bytes of a multi-byte character read so far belong to the format
        // before this word.
        FlushBytes();
        const TWord w = rtfwords::Lookup(name);
        if (w == TWord::FldInst && state_.dest == TDest::Body && skip_ == 0) {
            // "{\*\fldinst HYPERLINK ...}": read for the address, never shown.
            star_ = false;
            state_.dest = TDest::FieldInst;
            fieldInst_.clear();
            return;
        }
        if (star_) {
            star_ = false;
            if (w == TWord::Ud && state_.inUpr) {
                state_.dest = TDest::Body;
                return;
            }
            if (w != TWord::Pn) {
                state_.dest = TDest::Skip;
                return;
            }
        }
        if (w == TWord::Bin) {
            // The data is skipped whole, whatever destination it is in, and
            // counts as one character after \u.
            const std::size_t n = static_cast<std::size_t>(std::max<std::int64_t>(param, 0));
            pos_ += std::min(n, s_.size() - pos_);
            if (skip_ > 0) --skip_;
            return;
        }
        if (state_.dest == TDest::Skip) return;
        if (skip_ > 0 && state_.dest == TDest::Body) {
            --skip_;
            return;
        }
        switch (w) {
            case TWord::Unknown:
            case TWord::Rtf:
                return;
            case TWord::SkipDest:
            case TWord::PnText:
                state_.dest = TDest::Skip;
                return;
            case TWord::Upr:
                state_.dest = TDest::Skip;
                state_.inUpr = true;
                return;
            case TWord::Ud:
                if (state_.inUpr) state_.dest = TDest::Body;
                return;
            case TWord::Pn:
                // The numbering's text is not read; the sink learns that the
                // paragraph is numbered.
                state_.dest = TDest::Skip;
                break;
            case TWord::FontTable:
                state_.dest = TDest::FontTable;
                return;
            case TWord::Field:
                fieldLink_.clear();
                return;
            case TWord::FldInst:
                return;
            case TWord::FldRslt:
                if (state_.dest == TDest::Body) sink_.Link(fieldLink_);
                return;
            case TWord::ColorTable:
                state_.dest = TDest::ColorTable;
                break;
            case TWord::Ansi:
                ansiCodePage_ = 1252;
                return;
            case TWord::Mac:
                ansiCodePage_ = 10000;
                return;
            case TWord::Pc:
                ansiCodePage_ = 437;
                return;
            case TWord::Pca:
                ansiCodePage_ = 850;
                return;
            case TWord::AnsiCpg:
                if (hasParam && param > 0) ansiCodePage_ = Clamp(param, 1, 65535);
                return;
            case TWord::Deff:
                deff_ = Clamp(param, 0, 65535);
                sink_.FormatChanged();
                return;
            case TWord::Uc:
                state_.uc = Clamp(param, 0, 16);
                return;
            case TWord::U:
                Unicode(param);
                return;
            case TWord::F:
                if (state_.dest == TDest::FontTable) {
                    CommitFont();
                    fontNumber_ = Clamp(param, 0, 65535);
                    fontCharset_ = 0;
                    return;
                }
                state_.font = Clamp(param, 0, 65535);
                sink_.FormatChanged();
                return;
            case TWord::FCharset:
                if (state_.dest == TDest::FontTable) fontCharset_ = Clamp(param, 0, 255);
                return;
            default:
                break;
        }
        if (state_.dest == TDest::Body) {
            switch (w) {
                case TWord::Plain:
                    state_.font = -1;
                    break;
                case TWord::Par:
                    EndParagraph();
                    return;
                case TWord::Line:
                    Char(TRichDocument::kLineBreak);
                    return;
                case TWord::Tab:
                    Char(U'\t');
                    return;
                case TWord::Emdash:
                    Char(U'\u2014');
                    return;
                case TWord::Endash:
                    Char(U'\u2013');
                    return;
                case TWord::Lquote:
                    Char(U'\u2018');
                    return;
                case TWord::Rquote:
                    Char(U'\u2019');
                    return;
                case TWord::Ldblquote:
                    Char(U'\u201C');
                    return;
                case TWord::Rdblquote:
                    Char(U'\u201D');
                    return;
                case TWord::Bullet:
                    Char(U'\u2022');
                    return;
                case TWord::Emspace:
                    Char(U'\u2003');
                    return;
                case TWord::Enspace:
                    Char(U'\u2002');
                    return;
                case TWord::Qmspace:
                    Char(U'\u2005');
                    return;
                default:
                    break;
            }
        }
        sink_.Word(w, hasParam, param);
    }

    void Unicode(std::int64_t param) {
        if (state_.dest != TDest::Body) return;
        FlushBytes();
        // RTF writes 16-bit values, the upper half as negative numbers.
        if (param < 0) param += 65536;
        const char32_t cp = param >= 0 && param <= 0x10FFFF ? static_cast<char32_t>(param) : kReplacement;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (highSurrogate_) Char(kReplacement);
            highSurrogate_ = cp;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            Char(high ? 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00) : kReplacement);
        } else {
            Char(cp);
        }
        skip_ = state_.uc;
    }

    void TextByte(unsigned char b) {
        switch (state_.dest) {
            case TDest::Body:
                if (skip_ > 0) {
                    --skip_;
                    return;
                }
                if (b < 0x80 && pending_.empty()) {
                    if (b == '\t' || b >= 0x20) Char(b);
                    return;
                }
                DocumentByte(b);
                return;
            case TDest::FontTable:
                if (b == ';')
                    CommitFont();
                else
                    fontName_.push_back(static_cast<char>(b));
                return;
            case TDest::ColorTable:
                if (b == ';') sink_.ColorEnd();
                return;
            case TDest::FieldInst:
                FieldByte(b);
                return;
            case TDest::Skip:
                return;
        }
    }

    // A byte of text in the code page of the current font or the document.
    void DocumentByte(unsigned char b) {
        const TCodePage& cp = CurrentCodePage();
        if (!cp.MultiByte()) {
            FlushBytes();
            Char(cp.Byte(b));
            return;
        }
        if (!pending_.empty() && pendingCodePage_ != cp.Number()) FlushBytes();
        pendingCodePage_ = cp.Number();
        pending_.push_back(static_cast<char>(b));
    }

    // A byte of a field's instruction; addresses are ASCII, and one longer
    // than a browser takes is no address.
    void FieldByte(unsigned char b) {
        if (fieldInst_.size() < kMaxInstruction) fieldInst_.push_back(static_cast<char>(b));
    }

    void FlushBytes() {
        if (pending_.empty()) return;
        std::u32string decoded;
        CodePage(pendingCodePage_).Decode(pending_, decoded);
        pending_.clear();
        for (const char32_t ch : decoded) Char(ch);
    }

    const TCodePage& CurrentCodePage() {
        const int font = FontNumber();
        if (cpCache_ && cpFont_ == font && cpAnsi_ == ansiCodePage_) return *cpCache_;
        const auto it = fonts_.find(font);
        cpCache_ = &CodePage(it != fonts_.end() && it->second != 0 ? it->second : ansiCodePage_);
        cpFont_ = font;
        cpAnsi_ = ansiCodePage_;
        return *cpCache_;
    }

    const TCodePage& CodePage(int number) {
        if (codePages_.size() >= kMaxCodePages && !codePages_.count(number)) number = 1252;
        auto& slot = codePages_[number];
        if (!slot) slot = std::make_unique<TCodePage>(number);
        return *slot;
    }

    void CommitFont() {
        if (fontNumber_ < 0) return;
        std::string name = fontName_;
        while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
        while (!name.empty() && name.front() == ' ') name.erase(0, 1);
        const int codePage = TCodePage::FromCharset(fontCharset_);
        std::u32string decoded;
        CodePage(codePage ? codePage : ansiCodePage_).Decode(name, decoded);
        // A number defined again without a name keeps what it had.
        if (!decoded.empty() || !fonts_.count(fontNumber_)) {
            fonts_[fontNumber_] = codePage;
            sink_.Font(fontNumber_, decoded);
        }
        fontName_.clear();
        fontNumber_ = -1;
        fontCharset_ = 0;
        // A font table may give a number a new charset.
        cpCache_ = nullptr;
        sink_.FormatChanged();
    }

    void Char(char32_t c) {
        if (state_.dest != TDest::Body || (c < 0x20 && c != U'\t')) return;
        if (highSurrogate_) {
            // The first half of a pair that never got its second.
            highSurrogate_ = 0;
            Char(kReplacement);
        }
        sink_.Char(c);
    }

    void EndParagraph() {
        FlushBytes();
        sink_.Paragraph();
    }

    std::string_view s_;
    TSink& sink_;
    std::size_t pos_ = 0;
    bool done_ = false;
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
    std::string fieldInst_;  // the instruction of the field being read
    std::string fieldLink_;  // the address of the last HYPERLINK instruction
    std::map<int, std::unique_ptr<TCodePage>> codePages_;
    std::string pending_;
    int pendingCodePage_ = 1252;
    // The code page of the current font, kept while font and document code
    // page stay the same and no font is defined.
    const TCodePage* cpCache_ = nullptr;
    int cpFont_ = 0;
    int cpAnsi_ = 0;
};
