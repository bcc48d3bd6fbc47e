#include "transport/FileNameParameter.h"

#include <vector>

#include "common/Windows1252.h"
#include "transport/QuotedPrintable.h"

namespace filenameparam {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// attribute-char of RFC 2231: printable ASCII but for blanks, "*", "'",
// "%" and the specials of RFC 2045.
bool IsAttributeChar(unsigned char c) {
    if (c <= 32 || c >= 127) return false;
    return std::string_view("*'%()<>@,;:\\\"/[]?=").find(static_cast<char>(c)) == std::string_view::npos;
}

}  // namespace

bool IsPlain(std::string_view name) {
    if (name.empty() || name.size() > 60) return false;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 126 || c == '"' || c == '\\') return false;
    }
    // An encoded word in a plain name would be decoded by readers.
    return name.find("=?") == std::string_view::npos;
}

std::string CharsetOf(std::string_view name) { return cp1252::IsValidUtf8(name) ? "utf-8" : "windows-1252"; }

std::string NameParameter(std::string_view name) {
    if (IsPlain(name)) return "name=\"" + std::string(name) + "\"";
    // Encoded words use neither quotes nor backslashes, so the quoted
    // string needs no escapes.
    return "name=\"" + qp::EncodeWords(name, CharsetOf(name)) + "\"";
}

std::string FileNameParameter(std::string_view name) {
    if (IsPlain(name)) return "filename=\"" + std::string(name) + "\"";
    const std::string charset = CharsetOf(name);
    const bool utf8 = charset == "utf-8";
    // Room for a section's value on a folded line of 78 after
    // " filename*NN*=" + charset + "''" and the closing ";".
    const std::size_t sectionValue = 78 - 1 - 14 - charset.size() - 2;
    std::vector<std::string> sections(1);
    for (std::size_t i = 0; i < name.size();) {
        std::size_t end = i + 1;
        if (utf8 && (static_cast<unsigned char>(name[i]) & 0xC0) == 0xC0)
            while (end < name.size() && end - i < 4 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) ++end;
        std::string piece;
        for (; i < end; ++i) {
            const auto c = static_cast<unsigned char>(name[i]);
            if (IsAttributeChar(c)) {
                piece.push_back(static_cast<char>(c));
            } else {
                piece.push_back('%');
                piece.push_back(kHex[c >> 4]);
                piece.push_back(kHex[c & 15]);
            }
        }
        if (sections.back().size() + piece.size() > sectionValue && !sections.back().empty()) sections.emplace_back();
        sections.back() += piece;
    }
    if (sections.size() == 1) return "filename*=" + charset + "''" + sections[0];
    std::string out;
    for (std::size_t n = 0; n < sections.size(); ++n) {
        if (n > 0) out += "; ";
        out += "filename*" + std::to_string(n) + "*=" + (n == 0 ? charset + "''" : std::string()) + sections[n];
    }
    return out;
}

}  // namespace filenameparam
