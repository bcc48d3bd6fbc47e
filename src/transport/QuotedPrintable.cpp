#include "transport/QuotedPrintable.h"

namespace qp {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char c) {
    out.push_back('=');
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 15]);
}

}  // namespace

std::vector<std::string> EncodeLine(std::string_view line) {
    std::vector<std::string> out;
    std::string current;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        std::string piece;
        // Blanks at the end of a line may be dropped on the way; they travel
        // encoded.
        if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last)) piece.push_back(static_cast<char>(c));
        else AppendEscaped(piece, c);
        // 75 characters leave room for the "=" of a soft break.
        const std::size_t limit = last ? 76 : 75;
        if (current.size() + piece.size() > limit) {
            out.push_back(current + "=");
            current.clear();
        }
        current += piece;
    }
    out.push_back(current);
    return out;
}

bool NeedsEncoding(std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 126 || (c < 32 && c != '\t')) return true;
    }
    return false;
}

std::string EncodeHeaderText(std::string_view text) {
    if (!NeedsEncoding(text)) return std::string(text);
    constexpr std::string_view kStart = "=?windows-1252?Q?";
    // An encoded word is at most 75 characters.
    constexpr std::size_t kMaxWord = 75 - 2;
    std::string out;
    std::string word(kStart);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        std::string piece;
        // Only these stand for themselves inside a phrase (RFC 2047, 5.3).
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
            c == '+' || c == '-' || c == '/')
            piece.push_back(static_cast<char>(c));
        else if (c == ' ') piece.push_back('_');
        else AppendEscaped(piece, c);
        if (word.size() + piece.size() > kMaxWord) {
            out += word + "?= ";
            word = kStart;
        }
        word += piece;
    }
    return out + word + "?=";
}

}  // namespace qp
