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
        if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
            piece.push_back(static_cast<char>(c));
        else
            AppendEscaped(piece, c);
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

bool NeedsWords(std::string_view text) {
    if (NeedsEncoding(text) || text.find("=?") != std::string_view::npos) return true;
    // A run of blanks counts too: a line may only break before its first.
    std::size_t run = 0;
    bool blanks = false;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t';
        run = blank == blanks ? run + 1 : 1;
        blanks = blank;
        if (run > kMaxHeaderWord) return true;
    }
    return false;
}

std::string EncodeHeaderText(std::string_view text) { return NeedsWords(text) ? EncodeWords(text) : std::string(text); }

std::string EncodeWords(std::string_view text, std::string_view charset) {
    const std::string start = "=?" + std::string(charset) + "?Q?";
    const bool utf8 = charset == "utf-8";
    // An encoded word is at most 75 characters.
    constexpr std::size_t kMaxWord = 75 - 2;
    std::string out;
    std::string word = start;
    for (std::size_t i = 0; i < text.size();) {
        // One character: a UTF-8 lead byte takes its continuation bytes.
        std::size_t end = i + 1;
        if (utf8 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0xC0)
            while (end < text.size() && end - i < 4 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        std::string piece;
        for (; i < end; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            // Only these stand for themselves inside a phrase (RFC 2047, 5.3).
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
                c == '+' || c == '-' || c == '/')
                piece.push_back(static_cast<char>(c));
            else if (c == ' ')
                piece.push_back('_');
            else
                AppendEscaped(piece, c);
        }
        if (word.size() + piece.size() > kMaxWord && word.size() > start.size()) {
            out += word + "?= ";
            word = start;
        }
        word += piece;
    }
    return out + word + "?=";
}

}  // namespace qp
