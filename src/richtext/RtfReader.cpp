#include "richtext/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/Windows1252.h"
#include "richtext/RtfDecoder.h"
#include "richtext/RtfWords.h"

namespace {

using rtfwords::TWord;

constexpr int kMaxIndent = 31680;     // 22 inches in twips
constexpr int kMaxHalfPoints = 3276;  // the largest size a rich edit control takes

int Clamp(std::int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<std::int64_t>(v, lo, hi)); }

// What a group keeps of the format besides its font, which the decoder
// keeps for the code page.
struct TGroupFormat {
    int halfPoints = 24;
    int colorIndex = 0;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    std::string link;
    TParaFormat para;
};

class TParser {
public:
    explicit TParser(std::string_view s) : size_(s.size()), decoder_(s, *this) {}

    TRichDocument Run() {
        decoder_.Read(size_);
        if (!para_.runs.empty()) EndParagraph();
        if (!defaultsTaken_) TakeDefaults();
        return std::move(doc_);
    }

private:
    friend class TRtfDecoder<TParser, TGroupFormat>;

    // The decoder's sink.

    void Char(char32_t c) {
        if (!defaultsTaken_) TakeDefaults();
        if (dirty_ || para_.runs.empty()) {
            TCharFormat f = Resolve();
            if (para_.runs.empty() || !(para_.runs.back().format == f)) para_.runs.push_back({{}, std::move(f)});
            dirty_ = false;
        }
        para_.runs.back().text.push_back(c);
    }

    void Text(std::string_view ascii) {
        // The first character opens a run in the current format if need be;
        // the rest goes straight into it.
        Char(static_cast<char32_t>(ascii.front()));
        para_.runs.back().text.append(ascii.begin() + 1, ascii.end());
    }

    void Paragraph() { EndParagraph(); }

    void FormatChanged() { dirty_ = true; }

    void Font(int number, const std::u32string& name) {
        std::string& utf8 = fontNames_[number];
        utf8.clear();
        for (const char32_t ch : name) cp1252::AppendUtf8(utf8, ch);
    }

    void Link(const std::string& url) {
        decoder_.Format().link = url;
        dirty_ = true;
    }

    void ColorEnd() {
        colors_.push_back(colorSeen_ ? static_cast<std::uint32_t>(red_ | (green_ << 8) | (blue_ << 16)) : 0);
        colorSeen_ = false;
        red_ = green_ = blue_ = 0;
        dirty_ = true;
    }

    void Word(TWord w, bool hasParam, std::int64_t param) {
        switch (w) {
            case TWord::Pn: {
                // Any paragraph numbering a rich edit control writes shows as a bullet.
                decoder_.Format().para.bullet = true;
                if (TGroupFormat* outer = decoder_.OuterFormat()) outer->para.bullet = true;
                return;
            }
            case TWord::ColorTable:
                colorSeen_ = false;
                red_ = green_ = blue_ = 0;
                return;
            case TWord::Red:
                red_ = Clamp(param, 0, 255);
                colorSeen_ = true;
                return;
            case TWord::Green:
                green_ = Clamp(param, 0, 255);
                colorSeen_ = true;
                return;
            case TWord::Blue:
                blue_ = Clamp(param, 0, 255);
                colorSeen_ = true;
                return;
            default:
                break;
        }
        if (!decoder_.InBody()) return;
        TGroupFormat& f = decoder_.Format();
        const bool on = !hasParam || param != 0;
        switch (w) {
            case TWord::Plain:
                // The decoder went back to the default font.
                f.halfPoints = 24;
                f.colorIndex = 0;
                f.bold = f.italic = f.underline = f.strikeOut = false;
                break;
            case TWord::Fs:
                f.halfPoints = hasParam && param > 0 ? Clamp(param, 1, kMaxHalfPoints) : 24;
                break;
            case TWord::Cf:
                f.colorIndex = Clamp(param, 0, 65535);
                break;
            case TWord::B:
                f.bold = on;
                break;
            case TWord::I:
                f.italic = on;
                break;
            case TWord::Ul:
                f.underline = on;
                break;
            case TWord::UlNone:
                f.underline = false;
                break;
            case TWord::Strike:
                f.strikeOut = on;
                break;
            case TWord::Pard:
                f.para = TParaFormat{};
                break;
            case TWord::Ql:
                f.para.alignment = TAlignment::Left;
                break;
            case TWord::Qc:
                f.para.alignment = TAlignment::Center;
                break;
            case TWord::Qr:
                f.para.alignment = TAlignment::Right;
                break;
            case TWord::Qj:
                f.para.alignment = TAlignment::Justify;
                break;
            case TWord::Li:
                f.para.leftIndent = Clamp(param, -kMaxIndent, kMaxIndent);
                break;
            case TWord::Fi:
                f.para.firstIndent = Clamp(param, -kMaxIndent, kMaxIndent);
                break;
            case TWord::Ls:
                f.para.bullet = param > 0;
                break;
            default:
                return;
        }
        dirty_ = true;
    }

    TCharFormat Resolve() const {
        TCharFormat f;
        const auto it = fontNames_.find(decoder_.FontNumber());
        if (it != fontNames_.end() && !it->second.empty()) f.fontName = it->second;
        const TGroupFormat& g = decoder_.Format();
        f.halfPoints = g.halfPoints;
        if (g.colorIndex >= 0 && static_cast<std::size_t>(g.colorIndex) < colors_.size())
            f.color = colors_[g.colorIndex];
        f.bold = g.bold;
        f.italic = g.italic;
        f.underline = g.underline;
        f.strikeOut = g.strikeOut;
        f.link = g.link;
        return f;
    }

    void TakeDefaults() {
        defaultsTaken_ = true;
        doc_.defaultChar = Resolve();
        doc_.defaultChar.link.clear();
        doc_.defaultPara = decoder_.Format().para;
    }

    void EndParagraph() {
        if (!defaultsTaken_) TakeDefaults();
        para_.format = decoder_.Format().para;
        para_.markFormat = Resolve();
        para_.markFormat.link.clear();  // a paragraph mark leads nowhere
        doc_.paragraphs.push_back(std::move(para_));
        para_ = {};
        dirty_ = true;
    }

    std::size_t size_;
    TRtfDecoder<TParser, TGroupFormat> decoder_;

    std::map<int, std::string> fontNames_;  // UTF-8
    std::vector<std::uint32_t> colors_;
    bool colorSeen_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;

    TRichDocument doc_;
    TRichDocument::Paragraph para_;
    bool dirty_ = true;
    bool defaultsTaken_ = false;
};

}  // namespace

TRichDocument TRtfReader::Read(std::string_view rtf) { return TParser(rtf).Run(); }
