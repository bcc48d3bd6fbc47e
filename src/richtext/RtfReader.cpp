#include "richtext/RtfReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Windows1252.h"
#include "richtext/CodePage.h"
#include "richtext/RtfWords.h"

namespace {

using rtfwords::TWord;
using rtfwords::kParamLimit;

constexpr int kMaxIndent = 31680;    // 22 inches in twips
constexpr int kMaxHalfPoints = 3276;  // the largest size a rich edit control takes
constexpr char32_t kReplacement = U'\uFFFD';
constexpr std::size_t kMaxCodePages = 16;

int Clamp(std::int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<std::int64_t>(v, lo, hi)); }

enum class TDest { Body, Skip, FontTable, ColorTable };

struct TState {
    TDest dest = TDest::Body;
    int font = -1;  // -1: the default font (\deff)
    int halfPoints = 24;
    int colorIndex = 0;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    TParaFormat para;
    int uc = 1;
    bool inUpr = false;
};

struct TFont {
    std::string name;  // UTF-8
    int codePage = 0;  // 0: the document's
};

class TParser {
public:
    explicit TParser(std::string_view s) : s_(s) {}

    TRichDocument Run() {
        // Only a document that opens with a group ends where that group
        // closes; bare fragments ("x{\b y}z") are read to their end.
        const std::size_t first = s_.find_first_not_of(" \t\r\n");
        wrapped_ = first != std::string_view::npos && s_[first] == '{';
        while (pos_ < s_.size() && !done_) Step();
        FlushBytes();
        if (!para_.runs.empty()) EndParagraph();
        if (!defaultsTaken_) TakeDefaults();
        return std::move(doc_);
    }

private:
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
            case '\r': case '\n': case '\0':
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
        // Plain ASCII text goes straight into the run the first byte opened.
        if (state_.dest == TDest::Body && skip_ == 0 && pending_.empty() && highSurrogate_ == 0 && !dirty_ &&
            !para_.runs.empty()) {
            std::u32string& text = para_.runs.back().text;
            while (pos_ < s_.size()) {
                const char t = s_[pos_];
                if (t < 0x20 || t > 0x7E || t == '\\' || t == '{' || t == '}') break;
                text.push_back(static_cast<char32_t>(t));
                ++pos_;
            }
        }
    }

    void OpenGroup() {
        FlushBytes();
        skip_ = 0;
        star_ = false;
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
            // The document ends here; its last paragraph and its defaults
            // are those of the state inside it.
            done_ = true;
            if (!para_.runs.empty()) EndParagraph();
            if (!defaultsTaken_) TakeDefaults();
        }
        state_ = stack_.back();
        stack_.pop_back();
        dirty_ = true;
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
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
                if (param <= kParamLimit) param = param * 10 + (s_[pos_] - '0');
                ++pos_;
            }
            param = std::min(param, kParamLimit);
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
            case '\\': case '{': case '}':
                TextByte(static_cast<unsigned char>(c));
                return;
            case '~': Char(U'\u00A0'); return;
            case '_': Char(U'\u2011'); return;
            case '\r': case '\n': if (state_.dest == TDest::Body) EndParagraph(); return;
            case '\t': Char(U'\t'); return;
            default: return;  // \- optional hyphen, \| \: index marks, and unknown symbols
        }
    }

    void Word(std::string_view name, bool hasParam, std::int64_t param) {
        // Bytes of a multi-byte character read so far belong to the format
        // before this word.
        FlushBytes();
        TWord w = rtfwords::Lookup(name);
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
            FlushBytes();
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
        const bool on = !hasParam || param != 0;
        switch (w) {
            case TWord::Unknown: return;
            case TWord::SkipDest: case TWord::PnText:
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
                // Any paragraph numbering a rich edit control writes shows as a bullet.
                state_.para.bullet = true;
                if (!stack_.empty() && overflow_ == 0) stack_.back().para.bullet = true;
                state_.dest = TDest::Skip;
                return;
            case TWord::FontTable:
                FlushBytes();
                state_.dest = TDest::FontTable;
                return;
            case TWord::ColorTable:
                state_.dest = TDest::ColorTable;
                colorSeen_ = false;
                red_ = green_ = blue_ = 0;
                return;
            case TWord::Rtf: return;
            case TWord::Ansi: ansiCodePage_ = 1252; return;
            case TWord::Mac: ansiCodePage_ = 10000; return;
            case TWord::Pc: ansiCodePage_ = 437; return;
            case TWord::Pca: ansiCodePage_ = 850; return;
            case TWord::AnsiCpg:
                if (hasParam && param > 0) ansiCodePage_ = Clamp(param, 1, 65535);
                return;
            case TWord::Deff: deff_ = Clamp(param, 0, 65535); dirty_ = true; return;
            case TWord::Uc: state_.uc = Clamp(param, 0, 16); return;
            case TWord::U: Unicode(param); return;
            case TWord::F:
                if (state_.dest == TDest::FontTable) {
                    CommitFont();
                    fontNumber_ = Clamp(param, 0, 65535);
                    fontCharset_ = 0;
                    return;
                }
                FlushBytes();
                state_.font = Clamp(param, 0, 65535);
                dirty_ = true;
                return;
            case TWord::FCharset:
                if (state_.dest == TDest::FontTable) fontCharset_ = Clamp(param, 0, 255);
                return;
            case TWord::Red: red_ = Clamp(param, 0, 255); colorSeen_ = true; return;
            case TWord::Green: green_ = Clamp(param, 0, 255); colorSeen_ = true; return;
            case TWord::Blue: blue_ = Clamp(param, 0, 255); colorSeen_ = true; return;
            default: break;
        }
        if (state_.dest != TDest::Body) return;
        switch (w) {
            case TWord::Plain:
                FlushBytes();
                state_.font = -1;
                state_.halfPoints = 24;
                state_.colorIndex = 0;
                state_.bold = state_.italic = state_.underline = state_.strikeOut = false;
                break;
            case TWord::Fs: state_.halfPoints = hasParam && param > 0 ? Clamp(param, 1, kMaxHalfPoints) : 24; break;
            case TWord::Cf: state_.colorIndex = Clamp(param, 0, 65535); break;
            case TWord::B: state_.bold = on; break;
            case TWord::I: state_.italic = on; break;
            case TWord::Ul: state_.underline = on; break;
            case TWord::UlNone: state_.underline = false; break;
            case TWord::Strike: state_.strikeOut = on; break;
            case TWord::Pard: state_.para = TParaFormat{}; break;
            case TWord::Ql: state_.para.alignment = TAlignment::Left; break;
            case TWord::Qc: state_.para.alignment = TAlignment::Center; break;
            case TWord::Qr: state_.para.alignment = TAlignment::Right; break;
            case TWord::Qj: state_.para.alignment = TAlignment::Justify; break;
            case TWord::Li: state_.para.leftIndent = Clamp(param, -kMaxIndent, kMaxIndent); break;
            case TWord::Fi: state_.para.firstIndent = Clamp(param, -kMaxIndent, kMaxIndent); break;
            case TWord::Ls: state_.para.bullet = param > 0; break;
            case TWord::Par: EndParagraph(); return;
            case TWord::Line: Char(TRichDocument::kLineBreak); return;
            case TWord::Tab: Char(U'\t'); return;
            case TWord::Emdash: Char(U'\u2014'); return;
            case TWord::Endash: Char(U'\u2013'); return;
            case TWord::Lquote: Char(U'\u2018'); return;
            case TWord::Rquote: Char(U'\u2019'); return;
            case TWord::Ldblquote: Char(U'\u201C'); return;
            case TWord::Rdblquote: Char(U'\u201D'); return;
            case TWord::Bullet: Char(U'\u2022'); return;
            case TWord::Emspace: Char(U'\u2003'); return;
            case TWord::Enspace: Char(U'\u2002'); return;
            case TWord::Qmspace: Char(U'\u2005'); return;
            default: return;
        }
        dirty_ = true;
    }

    void Unicode(std::int64_t param) {
        if (state_.dest != TDest::Body) return;
        FlushBytes();
        // RTF writes 16-bit values, the upper half as negative numbers.
        if (param < 0) param += 65536;
        char32_t cp = param >= 0 && param <= 0x10FFFF ? static_cast<char32_t>(param) : kReplacement;
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
                    if (b == '\t') Char(U'\t');
                    else if (b >= 0x20) Char(b);
                    return;
                }
                DocumentByte(b);
                return;
            case TDest::FontTable:
                if (b == ';') CommitFont();
                else fontName_.push_back(static_cast<char>(b));
                return;
            case TDest::ColorTable:
                if (b == ';') {
                    colors_.push_back(colorSeen_ ? static_cast<std::uint32_t>(red_ | (green_ << 8) | (blue_ << 16)) : 0);
                    colorSeen_ = false;
                    red_ = green_ = blue_ = 0;
                    dirty_ = true;
                }
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

    void FlushBytes() {
        if (pending_.empty()) return;
        std::u32string text;
        CodePage(pendingCodePage_).Decode(pending_, text);
        pending_.clear();
        for (char32_t ch : text) Char(ch);
    }

    const TCodePage& CurrentCodePage() {
        const int font = state_.font < 0 ? deff_ : state_.font;
        if (cpCache_ && cpFont_ == font && cpAnsi_ == ansiCodePage_) return *cpCache_;
        const auto it = fonts_.find(font);
        cpCache_ = &CodePage(it != fonts_.end() && it->second.codePage != 0 ? it->second.codePage : ansiCodePage_);
        cpFont_ = font;
        cpAnsi_ = ansiCodePage_;
        return *cpCache_;
    }

    const TCodePage& CodePage(int number) {
        // However many code pages a document names, only so many are opened.
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
        TFont font;
        font.codePage = TCodePage::FromCharset(fontCharset_);
        std::u32string decoded;
        CodePage(font.codePage ? font.codePage : ansiCodePage_).Decode(name, decoded);
        for (char32_t ch : decoded) cp1252::AppendUtf8(font.name, ch);
        if (!font.name.empty() || !fonts_.count(fontNumber_)) fonts_[fontNumber_] = std::move(font);
        fontName_.clear();
        fontNumber_ = -1;
        fontCharset_ = 0;
        dirty_ = true;
        // A font table may give a number a new charset.
        cpCache_ = nullptr;
    }

    TCharFormat Resolve() const {
        TCharFormat f;
        const auto it = fonts_.find(state_.font < 0 ? deff_ : state_.font);
        if (it != fonts_.end() && !it->second.name.empty()) f.fontName = it->second.name;
        f.halfPoints = state_.halfPoints;
        if (state_.colorIndex >= 0 && static_cast<std::size_t>(state_.colorIndex) < colors_.size())
            f.color = colors_[state_.colorIndex];
        f.bold = state_.bold;
        f.italic = state_.italic;
        f.underline = state_.underline;
        f.strikeOut = state_.strikeOut;
        return f;
    }

    void TakeDefaults() {
        defaultsTaken_ = true;
        doc_.defaultChar = Resolve();
        doc_.defaultPara = state_.para;
    }

    void Char(char32_t c) {
        if (state_.dest != TDest::Body || (c < 0x20 && c != U'\t')) return;
        if (highSurrogate_) {
            // The first half of a pair that never got its second.
            highSurrogate_ = 0;
            Char(kReplacement);
        }
        if (!defaultsTaken_) TakeDefaults();
        if (dirty_ || para_.runs.empty()) {
            TCharFormat f = Resolve();
            if (para_.runs.empty() || !(para_.runs.back().format == f)) para_.runs.push_back({{}, std::move(f)});
            dirty_ = false;
        }
        para_.runs.back().text.push_back(c);
    }

    void EndParagraph() {
        FlushBytes();
        if (!defaultsTaken_) TakeDefaults();
        para_.format = state_.para;
        para_.markFormat = Resolve();
        doc_.paragraphs.push_back(std::move(para_));
        para_ = {};
        dirty_ = true;
    }

    std::string_view s_;
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
    std::map<int, TFont> fonts_;
    int fontNumber_ = -1;
    int fontCharset_ = 0;
    std::string fontName_;
    std::vector<std::uint32_t> colors_;
    bool colorSeen_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;
    std::map<int, std::unique_ptr<TCodePage>> codePages_;
    std::string pending_;
    int pendingCodePage_ = 1252;
    // The code page of the current font, kept while font and document code
    // page stay the same and no font is defined.
    const TCodePage* cpCache_ = nullptr;
    int cpFont_ = 0;
    int cpAnsi_ = 0;

    TRichDocument doc_;
    TRichDocument::Paragraph para_;
    bool dirty_ = true;
    bool defaultsTaken_ = false;
};

}  // namespace

TRichDocument TRtfReader::Read(std::string_view rtf) { return TParser(rtf).Run(); }
