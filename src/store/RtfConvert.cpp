#include "store/RtfConvert.h"

#include <cstdio>
#include <cstdint>

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
    {"nbsp", 160},   {"iexcl", 161},  {"cent", 162},   {"pound", 163},  {"curren", 164}, {"yen", 165},
    {"brvbar", 166}, {"sect", 167},   {"uml", 168},    {"copy", 169},   {"ordf", 170},   {"laquo", 171},
    {"not", 172},    {"shy", 173},    {"reg", 174},    {"macr", 175},   {"deg", 176},    {"plusmn", 177},
    {"sup2", 178},   {"sup3", 179},   {"acute", 180},  {"micro", 181},  {"para", 182},   {"middot", 183},
    {"cedil", 184},  {"sup1", 185},   {"ordm", 186},   {"raquo", 187},  {"frac14", 188}, {"frac12", 189},
    {"frac34", 190}, {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194},  {"Atilde", 195},
    {"Auml", 196},   {"Aring", 197},  {"AElig", 198},  {"Ccedil", 199}, {"Egrave", 200}, {"Eacute", 201},
    {"Ecirc", 202},  {"Euml", 203},   {"Igrave", 204}, {"Iacute", 205}, {"Icirc", 206},  {"Iuml", 207},
    {"ETH", 208},    {"Ntilde", 209}, {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212},  {"Otilde", 213},
    {"Ouml", 214},   {"times", 215},  {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219},
    {"Uuml", 220},   {"Yacute", 221}, {"THORN", 222},  {"szlig", 223},  {"agrave", 224}, {"aacute", 225},
    {"acirc", 226},  {"atilde", 227}, {"auml", 228},   {"aring", 229},  {"aelig", 230},  {"ccedil", 231},
    {"egrave", 232}, {"eacute", 233}, {"ecirc", 234},  {"euml", 235},   {"igrave", 236}, {"iacute", 237},
    {"icirc", 238},  {"iuml", 239},   {"eth", 240},    {"ntilde", 241}, {"ograve", 242}, {"oacute", 243},
    {"ocirc", 244},  {"otilde", 245}, {"ouml", 246},   {"divide", 247}, {"oslash", 248}, {"ugrave", 249},
    {"uacute", 250}, {"ucirc", 251},  {"uuml", 252},   {"yacute", 253}, {"thorn", 254},  {"yuml", 255},
    {"amp", '&'},    {"quot", '"'},   {"apos", '\''},  {"lt", '<'},     {"gt", '>'},     {"euro", 0x20AC},
    {"ndash", 0x2013}, {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"sbquo", 0x201A},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bdquo", 0x201E}, {"bull", 0x2022}, {"hellip", 0x2026},
    {"trade", 0x2122}, {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030}, {"lsaquo", 0x2039},
    {"rsaquo", 0x203A}, {"OElig", 0x152}, {"oelig", 0x153}, {"Scaron", 0x160}, {"scaron", 0x161},
    {"Yuml", 0x178}, {"fnof", 0x192}, {"circ", 0x2C6}, {"tilde", 0x2DC}, {"ensp", 0x2002},
    {"emsp", 0x2003}, {"thinsp", 0x2009},
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
            if (c >= '0' && c <= '9') d = c - '0';
            else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
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
        if (body == e.name) { cp = e.cp; return true; }
    // The entities the converter always knew, in any letter case.
    if (text::EqualsNoCase(body, "lt")) { cp = '<'; return true; }
    if (text::EqualsNoCase(body, "gt")) { cp = '>'; return true; }
    if (text::EqualsNoCase(body, "amp")) { cp = '&'; return true; }
    if (text::EqualsNoCase(body, "quot")) { cp = '"'; return true; }
    if (text::EqualsNoCase(body, "nbsp")) { cp = ' '; return true; }
    return false;
}

// A converted HTML line: references translated, everything beyond ASCII escaped.
std::string FinishHtmlLine(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 8);
    std::size_t pos = 0;
    while (pos < line.size()) {
        // Plain ASCII text goes over in one piece.
        std::size_t run = pos;
        while (run < line.size() && line[run] != '&' && static_cast<unsigned char>(line[run]) < 0x80) ++run;
        out.append(line.data() + pos, run - pos);
        pos = run;
        if (pos >= line.size()) break;
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
    return out;
}

// The first "<BR>" in any letter case, or npos.
std::size_t FindBreak(std::string_view line) {
    for (std::size_t at = line.find('<'); at != std::string_view::npos && at + 4 <= line.size();
         at = line.find('<', at + 1))
        if ((line[at + 1] | 0x20) == 'b' && (line[at + 2] | 0x20) == 'r' && line[at + 3] == '>') return at;
    return std::string_view::npos;
}

bool IsWordEnd(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '<' || c == '>'; }

struct TStyle {
    unsigned bits = 0;  // bold 1, italic 2, underline 4, bullet 8
    int base = 8;
    int size = 8;
    bool groupOpen = false;
};

void ApplyTag(const std::string& word, TStyle& s) {
    if (word == "BOLD" || word == "B") s.bits |= 1;
    else if (word == "/BOLD" || word == "/B") s.bits &= ~1u;
    else if (word == "ITALIC" || word == "I") s.bits |= 2;
    else if (word == "/ITALIC" || word == "/I") s.bits &= ~2u;
    else if (word == "UNDERLINE" || word == "U") s.bits |= 4;
    else if (word == "/UNDERLINE" || word == "/U") s.bits &= ~4u;
    else if (word == "LI") s.bits |= 8;
    else if (word == "/LI") s.bits &= ~8u;
    else if (word == "BIGGER" || word == "/SMALLER") s.size = s.size < 4 ? 4 : s.size + 1;
    else if (word == "/BIGGER" || word == "SMALLER") s.size = s.size < 4 ? 2 : s.size - 1;
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

// The elements whose content is no text for the reader: the tag word that
// ends each.
const char* DroppedUntil(const std::string& word) {
    if (word == "STYLE") return "</STYLE";
    if (word == "SCRIPT") return "</SCRIPT";
    if (word == "HEAD") return "</HEAD";
    return nullptr;
}

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
        std::string out = i ? "\\par " : "";
        for (char c : lines[i]) {
            if (c == '\\' || c == '{' || c == '}') out += '\\';
            out += c;
        }
        lines[i] = EscapeNonAscii(out);
    }
    lines.emplace_back("\\par }");
}

void HtmlToRtf(std::vector<std::string>& lines) {
    // Line breaks: each "<BR>" (exactly those four characters) starts a new line.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto br = FindBreak(lines[i]);
        if (br == std::string::npos) continue;
        std::string after = lines[i].substr(br + 4);
        lines[i].resize(br);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(after));
    }

    TStyle style;
    const char* dropUntil = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool beganDropped = dropUntil != nullptr;
        std::size_t pos = 0;
        while (true) {
            std::string& line = lines[i];
            if (dropUntil) {
                const auto close = text::FindNoCase(std::string_view(line).substr(pos), dropUntil);
                if (close == std::string::npos) {
                    line.resize(pos);
                    break;
                }
                line.erase(pos, close);
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
                if (i + 1 == lines.size()) {
                    gt = line.size() - 1;
                } else {
                    line += lines[i + 1];
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                    gt = lines[i].find('>', searchFrom);
                    if (gt == std::string::npos) break;
                }
            }
            std::string& tagLine = lines[i];
            const std::string upper = text::ToUpperAscii(word);
            if (dropUntil) {
                if (upper == dropUntil + 1) dropUntil = nullptr;
            } else {
                ApplyTag(upper, style);
                dropUntil = DroppedUntil(upper);
            }
            const std::string group = GroupText(style);
            tagLine.replace(lt, gt - lt + 1, group);
            pos = lt + group.size();
        }
        // A line wholly inside a dropped element leaves no empty paragraph.
        if (beganDropped && dropUntil && lines[i].empty()) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
            continue;
        }
        lines[i] = FinishHtmlLine(i ? "\\par " + lines[i] : lines[i]);
    }
    if (style.groupOpen) lines.emplace_back("\\par }");
    lines.emplace_back("\\par }");
}

}  // namespace rtfconvert
