#include "richtext/RtfWriter.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "common/Windows1252.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr const char* kBulletFont = "Symbol";

// Appends control words and text, putting the blank that ends a control
// word only where text follows it.
class TRtfOut {
public:
    explicit TRtfOut(std::string& out) : out_(out) {}

    void Control(std::string_view word) {
        out_ += word;
        open_ = true;
    }
    void Control(std::string_view word, long long param) {
        out_ += word;
        out_ += std::to_string(param);
        open_ = true;
    }
    // Braces and \'hh end a control word by themselves.
    void Raw(std::string_view text) {
        out_ += text;
        open_ = false;
    }
    void Text(std::u32string_view text) {
        for (std::size_t i = 0; i < text.size();) {
            // Plain ASCII goes out as it is, in one stretch.
            if (IsPlain(text[i])) {
                Delimit();
                while (i < text.size() && IsPlain(text[i])) out_ += static_cast<char>(text[i++]);
                continue;
            }
            Char(text[i++]);
        }
    }
    void EndLine() {
        out_ += ' ';
        open_ = false;
    }

private:
    static bool IsPlain(char32_t c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}'; }

    void Delimit() {
        if (open_) out_ += ' ';
        open_ = false;
    }
    void Hex(unsigned char b) {
        out_ += "\\'";
        out_ += kHex[b >> 4];
        out_ += kHex[b & 15];
        open_ = false;
    }
    void Unicode(char32_t unit) {
        const long long n = unit > 32767 ? static_cast<long long>(unit) - 65536 : unit;
        out_ += "\\u";
        out_ += std::to_string(n);
        out_ += '?';
        open_ = false;
    }
    void Char(char32_t c) {
        if (c == U'\t') return Control("\\tab");
        if (c == TRichDocument::kLineBreak) return Control("\\line");
        if (c < 0x20) return;
        if (c == '\\' || c == '{' || c == '}') {
            Delimit();
            out_ += '\\';
            out_ += static_cast<char>(c);
            return;
        }
        if (c < 0x7F) {
            Delimit();
            out_ += static_cast<char>(c);
            return;
        }
        if (const auto b = cp1252::FromUnicode(c)) return Hex(*b);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return Unicode(0xFFFD);
        if (c > 0xFFFF) {
            const char32_t v = c - 0x10000;
            Unicode(0xD800 + (v >> 10));
            Unicode(0xDC00 + (v & 0x3FF));
            return;
        }
        Unicode(c);
    }

    std::string& out_;
    bool open_ = false;
};

// The name as the font table holds it.
std::string FontNameText(const std::string& utf8) {
    // A font name ends at ";" and cannot hold \u; characters Windows-1252
    // lacks become "?".
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        if (!cp || *cp == ';' || *cp < 0x20) continue;
        if (*cp == '\\' || *cp == '{' || *cp == '}') {
            out += '\\';
            out += static_cast<char>(*cp);
        } else if (*cp < 0x7F) {
            out += static_cast<char>(*cp);
        } else if (const auto b = cp1252::FromUnicode(*cp)) {
            out += "\\'";
            out += kHex[*b >> 4];
            out += kHex[*b & 15];
        } else {
            out += '?';
        }
    }
    // Readers drop the blanks around a name, and an empty one is no name.
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return TCharFormat{}.fontName;
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// Font and colour tables in order of first use. Looked up by hash, so that
// a document with very many fonts or colours still writes in linear time.
class TTables {
public:
    // Names that are written alike share their entry.
    int Font(const std::string& name) {
        if (const auto it = seen_.find(name); it != seen_.end()) return it->second;
        std::string written = FontNameText(name);
        const auto [it, added] = fontIndex_.try_emplace(written, static_cast<int>(fonts_.size()));
        if (added) fonts_.push_back(std::move(written));
        seen_.emplace(name, it->second);
        return it->second;
    }
    // Entry 0 is "auto".
    int Color(std::uint32_t rgb) {
        const auto [it, added] = colorIndex_.try_emplace(rgb, static_cast<int>(colors_.size()));
        if (added) colors_.push_back(rgb);
        return it->second + 1;
    }
    const std::vector<std::string>& Fonts() const { return fonts_; }
    const std::vector<std::uint32_t>& Colors() const { return colors_; }

private:
    std::vector<std::string> fonts_;  // as written
    std::unordered_map<std::string, int> fontIndex_;
    std::unordered_map<std::string, int> seen_;
    std::vector<std::uint32_t> colors_;
    std::unordered_map<std::uint32_t, int> colorIndex_;
};

class TWriter {
public:
    explicit TWriter(const TRichDocument& doc) : doc_(doc) {}

    std::vector<std::string> Lines() {
        const TCharFormat& startChar = doc_.Empty() ? doc_.defaultChar : FirstFormat(doc_.paragraphs.front());
        const TParaFormat& startPara = doc_.Empty() ? doc_.defaultPara : doc_.paragraphs.front().format;
        // Number the fonts and colours first: the tables come before the text.
        tables_.Font(startChar.fontName);
        tables_.Color(startChar.color);
        bool bullets = startPara.bullet;
        for (const auto& p : doc_.paragraphs) {
            bullets = bullets || p.format.bullet;
            for (const auto& r : p.runs) {
                tables_.Font(r.format.fontName);
                tables_.Color(r.format.color);
            }
            tables_.Font(p.markFormat.fontName);
            tables_.Color(p.markFormat.color);
        }
        if (bullets) symbolFont_ = tables_.Font(kBulletFont);

        std::vector<std::string> lines;
        std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        for (std::size_t i = 0; i < tables_.Fonts().size(); ++i) {
            const bool symbol = static_cast<int>(i) == symbolFont_;
            header += "{\\f" + std::to_string(i) + (symbol ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset0 ") +
                      tables_.Fonts()[i] + ";}";
        }
        header += '}';
        lines.push_back(std::move(header));

        std::string colors = "{\\colortbl ;";
        for (const std::uint32_t c : tables_.Colors())
            colors += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
                      std::to_string((c >> 16) & 0xFF) + ';';
        colors += '}';
        lines.push_back(std::move(colors));

        std::string start;
        {
            TRtfOut out(start);
            out.Control("\\viewkind4\\uc1\\pard");
            ParaControls(out, startPara);
            CharControls(out, std::nullopt, startChar);
            out.EndLine();
        }
        lines.push_back(std::move(start));
        TCharFormat current = startChar;
        TParaFormat currentPara = startPara;

        for (std::size_t k = 0; k < doc_.paragraphs.size(); ++k) {
            const auto& p = doc_.paragraphs[k];
            std::string line;
            TRtfOut out(line);
            if (!(p.format == currentPara)) {
                out.Control("\\pard");
                ParaControls(out, p.format);
                currentPara = p.format;
            }
            if (p.format.bullet) out.Raw("{\\pntext\\f" + std::to_string(symbolFont_) + "\\'b7\\tab}");
            for (std::size_t i = 0; i < p.runs.size();) {
                const auto& r = p.runs[i];
                if (r.format.link.empty()) {
                    CharControls(out, current, r.format);
                    current = r.format;
                    out.Text(r.text);
                    ++i;
                    continue;
                }
                // The runs of one link make one field, as a rich edit control
                // writes it; the formats inside end with the field's group.
                out.Raw("{\\field{\\*\\fldinst{HYPERLINK \"" + TRtfWriter::InstructionText(r.format.link) +
                        "\"}}{\\fldrslt{");
                TCharFormat inside = current;
                for (; i < p.runs.size() && p.runs[i].format.link == r.format.link; ++i) {
                    CharControls(out, inside, p.runs[i].format);
                    inside = p.runs[i].format;
                    out.Text(p.runs[i].text);
                }
                out.Raw("}}}");
            }
            CharControls(out, current, p.markFormat);
            current = p.markFormat;
            out.Control("\\par");
            out.EndLine();
            lines.push_back(std::move(line));
        }
        lines.emplace_back("}");
        return lines;
    }

private:
    static const TCharFormat& FirstFormat(const TRichDocument::Paragraph& p) {
        return p.runs.empty() ? p.markFormat : p.runs.front().format;
    }

    void ParaControls(TRtfOut& out, const TParaFormat& f) {
        if (f.bullet) out.Raw("{\\*\\pn\\pnlvlblt\\pnf" + std::to_string(symbolFont_) + "\\pnindent0{\\pntxtb\\'b7}}");
        if (f.firstIndent != 0) out.Control("\\fi", f.firstIndent);
        if (f.leftIndent != 0) out.Control("\\li", f.leftIndent);
        switch (f.alignment) {
            case TAlignment::Left:
                break;
            case TAlignment::Center:
                out.Control("\\qc");
                break;
            case TAlignment::Right:
                out.Control("\\qr");
                break;
            case TAlignment::Justify:
                out.Control("\\qj");
                break;
        }
    }

    void CharControls(TRtfOut& out, const std::optional<TCharFormat>& from, const TCharFormat& to) {
        const auto flag = [&](bool TCharFormat::*member, const char* on, const char* off) {
            if (from ? (*from).*member != to.*member : to.*member) out.Control(to.*member ? on : off);
        };
        if (!from || from->color != to.color) out.Control("\\cf", tables_.Color(to.color));
        flag(&TCharFormat::bold, "\\b", "\\b0");
        flag(&TCharFormat::italic, "\\i", "\\i0");
        flag(&TCharFormat::underline, "\\ul", "\\ulnone");
        flag(&TCharFormat::strikeOut, "\\strike", "\\strike0");
        const int font = tables_.Font(to.fontName);
        if (!from || tables_.Font(from->fontName) != font) out.Control("\\f", font);
        if (!from || from->halfPoints != to.halfPoints) out.Control("\\fs", std::clamp(to.halfPoints, 1, 3276));
    }

    const TRichDocument& doc_;
    TTables tables_;
    int symbolFont_ = -1;
};

}  // namespace

std::vector<std::string> TRtfWriter::Lines(const TRichDocument& doc) { return TWriter(doc).Lines(); }

std::string TRtfWriter::Write(const TRichDocument& doc) {
    const std::vector<std::string> lines = Lines(doc);
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string TRtfWriter::InstructionText(const std::string& url) {
    std::string out;
    for (const char ch : url) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\\' || b == '{' || b == '}') {
            out += '\\';
            out += ch;
        } else if (b <= ' ' || b == '"' || b >= 0x7F) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += ch;
        }
    }
    return out;
}
