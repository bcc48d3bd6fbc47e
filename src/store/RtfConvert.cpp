#include "store/RtfConvert.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "common/TextUtil.h"
#include "common/Windows1252.h"

namespace rtfconvert {

namespace {

void AppendEscaped(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    char buf[16];
    if (const auto b = cp1252::FromUnicode(cp); b && *b >= 0x80) {
        std::snprintf(buf, sizeof buf, "\\'%02x", static_cast<unsigned>(*b));
        out += buf;
        return;
    }
    // \uN takes a signed 16-bit number; characters beyond the BMP go as
    // their UTF-16 surrogate pair. The "?" is what a reader without
    // Unicode shows.
    const auto unit = [&](unsigned u) {
        std::snprintf(buf, sizeof buf, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(u)));
        out += buf;
    };
    if (cp > 0xFFFF) {
        const unsigned v = static_cast<unsigned>(cp) - 0x10000;
        unit(0xD800 + (v >> 10));
        unit(0xDC00 + (v & 0x3FF));
    } else {
        unit(static_cast<unsigned>(cp));
    }
}

// The RTF special characters, escaped when they come from a character
// reference (text typed in the HTML itself is taken as it stands).
void AppendReference(std::string& out, char32_t cp) {
    if (cp == '\\' || cp == '{' || cp == '}') out += '\\';
    AppendEscaped(out, cp);
}

struct TEntity {
    const char* name;
    char32_t cp;
};

// HTML's Latin-1 entities and the few others mailers write most.
constexpr TEntity kEntities[] = {
    {"nbsp", 160},      {"iexcl", 161},     {"cent", 162},      {"pound", 163},     {"curren", 164},
    {"yen", 165},       {"brvbar", 166},    {"sect", 167},      {"uml", 168},       {"copy", 169},
    {"ordf", 170},      {"laquo", 171},     {"not", 172},       {"shy", 173},       {"reg", 174},
    {"macr", 175},      {"deg", 176},       {"plusmn", 177},    {"sup2", 178},      {"sup3", 179},
    {"acute", 180},     {"micro", 181},     {"para", 182},      {"middot", 183},    {"cedil", 184},
    {"sup1", 185},      {"ordm", 186},      {"raquo", 187},     {"frac14", 188},    {"frac12", 189},
    {"frac34", 190},    {"iquest", 191},    {"Agrave", 192},    {"Aacute", 193},    {"Acirc", 194},
    {"Atilde", 195},    {"Auml", 196},      {"Aring", 197},     {"AElig", 198},     {"Ccedil", 199},
    {"Egrave", 200},    {"Eacute", 201},    {"Ecirc", 202},     {"Euml", 203},      {"Igrave", 204},
    {"Iacute", 205},    {"Icirc", 206},     {"Iuml", 207},      {"ETH", 208},       {"Ntilde", 209},
    {"Ograve", 210},    {"Oacute", 211},    {"Ocirc", 212},     {"Otilde", 213},    {"Ouml", 214},
    {"times", 215},     {"Oslash", 216},    {"Ugrave", 217},    {"Uacute", 218},    {"Ucirc", 219},
    {"Uuml", 220},      {"Yacute", 221},    {"THORN", 222},     {"szlig", 223},     {"agrave", 224},
    {"aacute", 225},    {"acirc", 226},     {"atilde", 227},    {"auml", 228},      {"aring", 229},
    {"aelig", 230},     {"ccedil", 231},    {"egrave", 232},    {"eacute", 233},    {"ecirc", 234},
    {"euml", 235},      {"igrave", 236},    {"iacute", 237},    {"icirc", 238},     {"iuml", 239},
    {"eth", 240},       {"ntilde", 241},    {"ograve", 242},    {"oacute", 243},    {"ocirc", 244},
    {"otilde", 245},    {"ouml", 246},      {"divide", 247},    {"oslash", 248},    {"ugrave", 249},
    {"uacute", 250},    {"ucirc", 251},     {"uuml", 252},      {"yacute", 253},    {"thorn", 254},
    {"yuml", 255},      {"amp", '&'},       {"quot", '"'},      {"apos", '\''},     {"lt", '<'},
    {"gt", '>'},        {"euro", 0x20AC},   {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"bdquo", 0x201E},
    {"bull", 0x2022},   {"hellip", 0x2026}, {"trade", 0x2122},  {"dagger", 0x2020}, {"Dagger", 0x2021},
    {"permil", 0x2030}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"OElig", 0x152},   {"oelig", 0x153},
    {"Scaron", 0x160},  {"scaron", 0x161},  {"Yuml", 0x178},    {"fnof", 0x192},    {"circ", 0x2C6},
    {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009},
};

// The code point of a reference "&...;" starting at s[0] and its length.
bool ReadReference(std::string_view s, char32_t& cp, std::size_t& length) {
    const auto semi = s.find(';');
    if (semi == std::string_view::npos || semi < 2 || semi > 10) return false;
    const std::string_view body = s.substr(1, semi - 1);
    length = semi + 1;
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        std::uint32_t v = 0;
        for (char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return false;
            v = v * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            if (v > 0x10FFFF) return false;
        }
        if (v == 0 || (v >= 0xD800 && v <= 0xDFFF)) v = 0xFFFD;
        // Numbers 128-159 are Windows-1252 bytes in the HTML mail writes.
        if (v >= 0x80 && v <= 0x9F) v = cp1252::ToUnicode(static_cast<unsigned char>(v));
        cp = v;
        return true;
    }
    for (const auto& e : kEntities)
        if (body == e.name) {
            cp = e.cp;
            return true;
        }
    // The entities the converter always knew, in any letter case.
    if (text::EqualsNoCase(body, "lt")) {
        cp = '<';
        return true;
    }
    if (text::EqualsNoCase(body, "gt")) {
        cp = '>';
        return true;
    }
    if (text::EqualsNoCase(body, "amp")) {
        cp = '&';
        return true;
    }
    if (text::EqualsNoCase(body, "quot")) {
        cp = '"';
        return true;
    }
    if (text::EqualsNoCase(body, "nbsp")) {
        cp = ' ';
        return true;
    }
    return false;
}

// Text of an HTML line as RTF: references translated, the RTF special
// characters escaped (a "}" would end the document, a backslash start a
// control word), everything beyond ASCII escaped.
void AppendHtmlText(std::string& out, std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        // Plain ASCII text goes over in one piece.
        std::size_t run = pos;
        while (run < line.size() && line[run] != '&' && line[run] != '\\' && line[run] != '{' && line[run] != '}' &&
               static_cast<unsigned char>(line[run]) < 0x80)
            ++run;
        out.append(line.data() + pos, run - pos);
        pos = run;
        if (pos >= line.size()) break;
        if (line[pos] == '\\' || line[pos] == '{' || line[pos] == '}') {
            out += '\\';
            out += line[pos++];
            continue;
        }
        if (line[pos] == '&') {
            char32_t cp = 0;
            std::size_t length = 0;
            if (ReadReference(line.substr(pos), cp, length)) {
                // A no-break space shows as a plain blank, as it always did.
                AppendReference(out, cp == 160 ? U' ' : cp);
                pos += length;
            } else {
                out += '&';
                ++pos;
            }
            continue;
        }
        const std::size_t before = pos;
        const auto cp = cp1252::DecodeUtf8(line, pos);
        AppendEscaped(out, cp ? *cp : cp1252::ToUnicode(static_cast<unsigned char>(line[before])));
    }
}

bool IsWordEnd(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '<' || c == '>'; }

struct TStyle {
    unsigned bits = 0;  // bold 1, italic 2, underline 4, bullet 8
    int base = 8;
    int size = 8;
    bool groupOpen = false;
};

void ApplyTag(const std::string& word, TStyle& s) {
    if (word == "BOLD" || word == "B")
        s.bits |= 1;
    else if (word == "/BOLD" || word == "/B")
        s.bits &= ~1u;
    else if (word == "ITALIC" || word == "I")
        s.bits |= 2;
    else if (word == "/ITALIC" || word == "/I")
        s.bits &= ~2u;
    else if (word == "UNDERLINE" || word == "U")
        s.bits |= 4;
    else if (word == "/UNDERLINE" || word == "/U")
        s.bits &= ~4u;
    else if (word == "LI")
        s.bits |= 8;
    else if (word == "/LI")
        s.bits &= ~8u;
    else if (word == "BIGGER" || word == "/SMALLER")
        s.size = s.size < 4 ? 4 : s.size + 1;
    else if (word == "/BIGGER" || word == "SMALLER")
        s.size = s.size < 4 ? 2 : s.size - 1;
}

std::string GroupText(TStyle& s) {
    std::string out;
    if (s.groupOpen) out += '}';
    s.groupOpen = s.bits != 0 || s.size != s.base;
    if (s.groupOpen) {
        out += '{';
        if (s.bits & 1) out += "\\b";
        if (s.bits & 2) out += "\\i";
        if (s.bits & 4) out += "\\ul";
        if (s.bits & 8) out += "\\bullet";
        if (s.size != s.base) out += "\\fs" + std::to_string(2 * s.size);
        out += ' ';
    }
    return out;
}

// The elements whose content is no text for the reader, and where each
// ends. A head ends at its end tag or where the body begins; HTML lets a
// writer leave out both of its tags.
struct TDropped {
    const char* endTag;     // "</STYLE"
    const char* bodyStart;  // another tag that ends it, or nullptr
};

constexpr TDropped kStyle{"</STYLE", nullptr};
constexpr TDropped kScript{"</SCRIPT", nullptr};
constexpr TDropped kHead{"</HEAD", "<BODY"};

const TDropped* DroppedBy(const std::string& word) {
    if (word == "STYLE") return &kStyle;
    if (word == "SCRIPT") return &kScript;
    if (word == "HEAD") return &kHead;
    return nullptr;
}

// Where the dropped element ends in text (the "<" of the tag that ends it):
// one pass over the tags, so that the search stops at the first.
std::size_t DroppedEnd(std::string_view text, const TDropped& d) {
    const auto at = [&](std::size_t lt, std::string_view tag) {
        return !tag.empty() && lt + tag.size() <= text.size() && text::EqualsNoCase(text.substr(lt, tag.size()), tag);
    };
    for (std::size_t lt = text.find('<'); lt != std::string_view::npos; lt = text.find('<', lt + 1))
        if (at(lt, d.endTag) || (d.bodyStart && at(lt, d.bodyStart))) return lt;
    return std::string_view::npos;
}

bool EndsDropped(const std::string& word, const TDropped& d) {
    return word == d.endTag + 1 || (d.bodyStart && word == d.bodyStart + 1);
}

// Elements that make blocks of text.
bool IsBlock(std::string_view name) {
    static constexpr std::string_view kBlocks[] = {"p",  "div", "li", "tr", "ul", "ol", "table", "blockquote", "pre",
                                                   "h1", "h2",  "h3", "h4", "h5", "h6", "dt",    "dd"};
    for (const auto block : kBlocks)
        if (text::EqualsNoCase(name, block)) return true;
    return false;
}

// Phase 1: the lines of the text as it is to be read. A "<BR>" (in any
// form: "<br/>", "<br />" too) starts a new line in its place; so does the
// end of a block ("</p>", "</li>", "</h1>" ...) unless nothing but more end
// tags follow on its line, and the start of a block that follows text on
// its line ("one<p>two"). Mail written on one line thus keeps its
// paragraphs.
std::vector<std::string> SplitAtBreaks(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const auto& line : lines) {
        const std::string_view all = line;
        std::size_t from = 0;
        bool text = false;  // the line since from shows some text
        std::size_t pos = 0;
        while (pos < all.size()) {
            if (all[pos] != '<') {
                if (all[pos] != ' ' && all[pos] != '\t' && all[pos] != '\r' && all[pos] != '\n') text = true;
                ++pos;
                continue;
            }
            const std::size_t gt = all.find('>', pos);
            if (gt == std::string_view::npos) break;
            const bool closing = pos + 1 < gt && all[pos + 1] == '/';
            std::size_t nameEnd = pos + 1 + (closing ? 1 : 0);
            while (nameEnd < gt && std::isalnum(static_cast<unsigned char>(all[nameEnd]))) ++nameEnd;
            const std::string_view name =
                all.substr(pos + 1 + (closing ? 1 : 0), nameEnd - pos - 1 - (closing ? 1 : 0));
            if (!closing && text::EqualsNoCase(name, "br")) {
                out.emplace_back(all.substr(from, pos - from));
                from = gt + 1;
                text = false;
            } else if (text::EqualsNoCase(name, "body") || (closing && text::EqualsNoCase(name, "head"))) {
                text = false;  // what the head holds is never shown
            } else if (IsBlock(name) && closing) {
                const std::size_t next = all.find_first_not_of(" \t\r\n", gt + 1);
                if (next != std::string_view::npos && all.substr(next, 2) != "</") {
                    out.emplace_back(all.substr(from, gt + 1 - from));
                    from = gt + 1;
                    text = false;
                }
            } else if (IsBlock(name) && text) {
                out.emplace_back(all.substr(from, pos - from));
                from = pos;
                text = false;
            }
            pos = gt + 1;
        }
        out.emplace_back(all.substr(from));
    }
    return out;
}

// Converts the lines in one pass: each input character is looked at a fixed
// number of times, so a long one-line message converts in linear time.
class THtmlConverter {
public:
    explicit THtmlConverter(std::vector<std::string> in) : in_(std::move(in)) {}

    std::vector<std::string> Run() {
        for (next_ = 0; next_ < in_.size();) ConvertLine();
        if (style_.groupOpen) out_.emplace_back("\\par }");
        out_.emplace_back("\\par }");
        return std::move(out_);
    }

private:
    void ConvertLine() {
        std::string line = std::move(in_[next_++]);
        const bool beganDropped = dropped_ != nullptr;
        std::string body;
        std::size_t pos = 0;
        while (true) {
            if (dropped_) {
                const auto close = DroppedEnd(std::string_view(line).substr(pos), *dropped_);
                if (close == std::string_view::npos) {
                    pos = line.size();
                    break;
                }
                pos += close;
            }
            const auto lt = line.find('<', pos);
            if (lt == std::string::npos || lt + 1 == line.size()) break;
            std::string word;
            std::size_t searchFrom = lt;
            if (line[lt + 1] != '<' && line[lt + 1] != '>') {
                std::size_t w = lt + 1;
                while (w < line.size() && IsWordEnd(line[w])) ++w;
                const std::size_t start = w;
                while (w < line.size() && !IsWordEnd(line[w])) ++w;
                word = line.substr(start, w - start);
                if (!word.empty()) searchFrom = w - 1;
            }
            auto gt = line.find('>', searchFrom);
            if (gt == std::string::npos) {
                if (next_ == in_.size()) {
                    gt = line.size() - 1;
                } else {
                    const std::size_t old = line.size();
                    line += in_[next_];
                    in_[next_++].clear();
                    gt = line.find('>', std::max(searchFrom, old));
                    if (gt == std::string::npos) {
                        AppendText(body, line, pos, lt);
                        pos = lt;
                        break;
                    }
                }
            }
            AppendText(body, line, pos, lt);
            const std::string upper = text::ToUpperAscii(word);
            if (dropped_) {
                if (EndsDropped(upper, *dropped_)) dropped_ = nullptr;
            } else {
                ApplyTag(upper, style_);
                dropped_ = DroppedBy(upper);
                if (dropped_ == &kHead && !HeadEnds(line, gt + 1)) dropped_ = nullptr;
            }
            body += GroupText(style_);
            pos = gt + 1;
        }
        AppendText(body, line, pos, line.size());
        // A line wholly inside a dropped element leaves no empty paragraph.
        if (beganDropped && dropped_ && body.empty()) return;
        out_.push_back(out_.empty() ? std::move(body) : "\\par " + body);
    }

    void AppendText(std::string& body, const std::string& line, std::size_t from, std::size_t to) {
        if (!dropped_ && to > from) AppendHtmlText(body, std::string_view(line).substr(from, to - from));
    }

    // Whether a head opened here ends anywhere in the rest of the message;
    // one that never does holds the whole message and is no head to drop.
    // Once no end lies ahead of some place, none lies ahead of a later one.
    bool HeadEnds(const std::string& line, std::size_t from) {
        if (noHeadEnd_) return false;
        if (DroppedEnd(std::string_view(line).substr(std::min(from, line.size())), kHead) != std::string_view::npos)
            return true;
        for (std::size_t i = std::max(next_, scannedTo_); i < in_.size(); ++i) {
            scannedTo_ = i;
            if (DroppedEnd(in_[i], kHead) != std::string_view::npos) return true;
        }
        noHeadEnd_ = true;
        return false;
    }

    std::vector<std::string> in_;
    std::vector<std::string> out_;
    std::size_t next_ = 0;
    std::size_t scannedTo_ = 0;
    bool noHeadEnd_ = false;
    TStyle style_;
    const TDropped* dropped_ = nullptr;
};

}  // namespace

std::string EscapeNonAscii(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t run = pos;
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8.data() + pos, run - pos);
        pos = run;
        if (pos >= utf8.size()) break;
        const std::size_t before = pos;
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        AppendEscaped(out, cp ? *cp : cp1252::ToUnicode(static_cast<unsigned char>(utf8[before])));
    }
    return out;
}

void PlainToRtf(std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::string out = i ? "\\par " : "";
        out.reserve(out.size() + line.size() + line.size() / 16);
        std::size_t pos = 0;
        while (pos < line.size()) {
            std::size_t run = pos;
            while (run < line.size()) {
                const char c = line[run];
                if (c == '\\' || c == '{' || c == '}' || static_cast<unsigned char>(c) >= 0x80) break;
                ++run;
            }
            out.append(line.data() + pos, run - pos);
            pos = run;
            if (pos >= line.size()) break;
            if (static_cast<unsigned char>(line[pos]) < 0x80) {
                out += '\\';
                out += line[pos++];
                continue;
            }
            const std::size_t before = pos;
            const auto cp = cp1252::DecodeUtf8(line, pos);
            AppendEscaped(out, cp ? *cp : cp1252::ToUnicode(static_cast<unsigned char>(line[before])));
        }
        lines[i] = std::move(out);
    }
    lines.emplace_back("\\par }");
}

void HtmlToRtf(std::vector<std::string>& lines) { lines = THtmlConverter(SplitAtBreaks(lines)).Run(); }

}  // namespace rtfconvert
