#include "richtext/RtfText.h"

#include <algorithm>

#include "richtext/CodePage.h"
#include "richtext/RichDocument.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWords.h"

// Every rule here mirrors TRtfReader's parser step for step, without the
// formats; the differential fuzz target (fuzz/rtftext.cpp) holds the two
// to the same text.

namespace {

using rtfwords::kParamLimit;
using rtfwords::TWord;

constexpr char32_t kReplacement = U'\uFFFD';
constexpr std::size_t kMaxCodePages = 16;
// What the text of one slice may reserve ahead: a large body grows its
// text as it goes instead of claiming four bytes per input byte at once.
constexpr std::size_t kMaxReserve = 1 << 20;

int Clamp(std::int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<std::int64_t>(v, lo, hi)); }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

TRtfText::TRtfText(std::string_view rtf) : s_(rtf) {
    // Only a document that opens with a group ends where that group closes.
    const std::size_t first = s_.find_first_not_of(" \t\r\n");
    wrapped_ = first != std::string_view::npos && s_[first] == '{';
    text_.reserve(std::min(s_.size(), kMaxReserve));
}

TRtfText::~TRtfText() = default;

std::u32string TRtfText::Of(std::string_view rtf) {
    TRtfText reader(rtf);
    reader.Read(rtf.size());
    return std::move(reader.text_);
}

bool TRtfText::Read(std::size_t bytes) {
    if (finished_) return false;
    const std::size_t until = bytes >= s_.size() - pos_ ? s_.size() : pos_ + bytes;
    while (pos_ < until && !done_) Step();
    if (pos_ >= s_.size() || done_) Finish();
    return !finished_;
}

void TRtfText::Finish() {
    FlushBytes();
    if (paragraphHasText_) EndParagraph();
    finished_ = true;
}

void TRtfText::Step() {
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
        while (pos_ < s_.size() && s_[pos_] != '\\' && s_[pos_] != '{' && s_[pos_] != '}') ++pos_;
        return;
    }
    ++pos_;
    TextByte(static_cast<unsigned char>(c));
    // Printable ASCII in the body is the text itself; the run is copied at
    // once.
    if (state_.dest == TDest::Body && skip_ == 0 && pending_.empty() && highSurrogate_ == 0) {
        std::size_t end = pos_;
        while (end < s_.size()) {
            const char t = s_[end];
            if (t < 0x20 || t > 0x7E || t == '\\' || t == '{' || t == '}') break;
            ++end;
        }
        if (end > pos_) {
            const std::size_t at = text_.size();
            text_.resize(at + (end - pos_));
            std::copy(s_.begin() + static_cast<std::ptrdiff_t>(pos_), s_.begin() + static_cast<std::ptrdiff_t>(end),
                      text_.begin() + static_cast<std::ptrdiff_t>(at));
            paragraphHasText_ = true;
            pos_ = end;
        }
    }
}

void TRtfText::OpenGroup() {
    FlushBytes();
    skip_ = 0;
    star_ = false;
    if (stack_.size() >= TRtfReader::kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(state_);
}

void TRtfText::CloseGroup() {
    FlushBytes();
    skip_ = 0;
    star_ = false;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (state_.dest == TDest::FontTable) CommitFont();
    if (stack_.empty()) {
        if (wrapped_) done_ = true;
        return;
    }
    if (stack_.size() == 1 && wrapped_) {
        done_ = true;
        if (paragraphHasText_) EndParagraph();
    }
    state_ = stack_.back();
    stack_.pop_back();
}

void TRtfText::ControlSequence() {
    ++pos_;  // the backslash
    if (pos_ >= s_.size()) return;
    const char c = s_[pos_];
    if (IsLetter(c)) {
        const std::size_t start = pos_;
        while (pos_ < s_.size() && IsLetter(s_[pos_])) ++pos_;
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
        default: return;
    }
}

void TRtfText::Word(std::string_view name, bool hasParam, std::int64_t param) {
    FlushBytes();
    const TWord w = rtfwords::Lookup(name);
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
        case TWord::SkipDest: case TWord::PnText: case TWord::Pn:
            state_.dest = TDest::Skip;
            return;
        case TWord::Upr:
            state_.dest = TDest::Skip;
            state_.inUpr = true;
            return;
        case TWord::Ud:
            if (state_.inUpr) state_.dest = TDest::Body;
            return;
        case TWord::FontTable: state_.dest = TDest::FontTable; return;
        case TWord::ColorTable: state_.dest = TDest::ColorTable; return;
        case TWord::Ansi: ansiCodePage_ = 1252; return;
        case TWord::Mac: ansiCodePage_ = 10000; return;
        case TWord::Pc: ansiCodePage_ = 437; return;
        case TWord::Pca: ansiCodePage_ = 850; return;
        case TWord::AnsiCpg:
            if (hasParam && param > 0) ansiCodePage_ = Clamp(param, 1, 65535);
            return;
        case TWord::Deff: deff_ = Clamp(param, 0, 65535); return;
        case TWord::Uc: state_.uc = Clamp(param, 0, 16); return;
        case TWord::U: Unicode(param); return;
        case TWord::F:
            if (state_.dest == TDest::FontTable) {
                CommitFont();
                fontNumber_ = Clamp(param, 0, 65535);
                fontCharset_ = 0;
                return;
            }
            state_.font = Clamp(param, 0, 65535);
            return;
        case TWord::FCharset:
            if (state_.dest == TDest::FontTable) fontCharset_ = Clamp(param, 0, 255);
            return;
        default: break;
    }
    if (state_.dest != TDest::Body) return;
    switch (w) {
        case TWord::Plain: state_.font = -1; return;
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
}

void TRtfText::Unicode(std::int64_t param) {
    if (state_.dest != TDest::Body) return;
    FlushBytes();
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

void TRtfText::TextByte(unsigned char b) {
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
            if (b == ';') CommitFont();
            else fontName_.push_back(static_cast<char>(b));
            return;
        case TDest::ColorTable:
        case TDest::Skip:
            return;
    }
}

void TRtfText::DocumentByte(unsigned char b) {
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

void TRtfText::FlushBytes() {
    if (pending_.empty()) return;
    std::u32string decoded;
    CodePage(pendingCodePage_).Decode(pending_, decoded);
    pending_.clear();
    for (const char32_t ch : decoded) Char(ch);
}

const TCodePage& TRtfText::CurrentCodePage() {
    const int font = state_.font < 0 ? deff_ : state_.font;
    if (cpCache_ && cpFont_ == font && cpAnsi_ == ansiCodePage_) return *cpCache_;
    const auto it = fonts_.find(font);
    cpCache_ = &CodePage(it != fonts_.end() && it->second != 0 ? it->second : ansiCodePage_);
    cpFont_ = font;
    cpAnsi_ = ansiCodePage_;
    return *cpCache_;
}

const TCodePage& TRtfText::CodePage(int number) {
    if (codePages_.size() >= kMaxCodePages && !codePages_.count(number)) number = 1252;
    auto& slot = codePages_[number];
    if (!slot) slot = std::make_unique<TCodePage>(number);
    return *slot;
}

void TRtfText::CommitFont() {
    if (fontNumber_ < 0) return;
    std::string name = fontName_;
    while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    const int codePage = TCodePage::FromCharset(fontCharset_);
    // The name itself is not kept, but whether it decodes to anything
    // decides whether it replaces an earlier font of the same number.
    std::u32string decoded;
    CodePage(codePage ? codePage : ansiCodePage_).Decode(name, decoded);
    if (!decoded.empty() || !fonts_.count(fontNumber_)) fonts_[fontNumber_] = codePage;
    fontName_.clear();
    fontNumber_ = -1;
    fontCharset_ = 0;
    cpCache_ = nullptr;
}

void TRtfText::Char(char32_t c) {
    if (state_.dest != TDest::Body || (c < 0x20 && c != U'\t')) return;
    if (highSurrogate_) {
        highSurrogate_ = 0;
        Char(kReplacement);
    }
    text_.push_back(c == TRichDocument::kLineBreak ? U'\n' : c);
    paragraphHasText_ = true;
}

void TRtfText::EndParagraph() {
    FlushBytes();
    text_.push_back(U'\n');
    paragraphHasText_ = false;
}
