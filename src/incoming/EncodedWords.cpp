#include "incoming/EncodedWords.h"

#include "common/FieldText.h"
#include "common/TextUtil.h"
#include "common/Windows1252.h"
#include "incoming/Base64Decoder.h"
#include "incoming/CharsetConverter.h"

namespace encodedwords {

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string DecodeQ(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_') {
            out += ' ';
        } else if (s[i] == '=' && i + 2 < s.size() + 0 && Hex(s[i + 1]) >= 0 && Hex(s[i + 2]) >= 0) {
            out += static_cast<char>(Hex(s[i + 1]) * 16 + Hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The next "?=" at or after a place, for places that only move forward: a
// header of many words that never close would otherwise be searched to its
// end once per word, which takes minutes for a megabyte.
class TCloseFinder {
public:
    explicit TCloseFinder(std::string_view raw) : raw_(raw) {}
    std::size_t From(std::size_t at) {
        if (!known_ || (found_ != std::string_view::npos && found_ < at)) {
            found_ = raw_.find("?=", at);
            known_ = true;
        }
        return found_;
    }

private:
    std::string_view raw_;
    std::size_t found_ = 0;
    bool known_ = false;
};

// One encoded word starting at pos ("=?"): its charset and its bytes, not yet
// converted; end is set past it.
bool ReadWord(std::string_view raw, std::size_t pos, TCloseFinder& closes, std::size_t& end,
              std::string_view& charsetOut, std::string& bytes) {
    const auto q1 = raw.find('?', pos + 2);
    if (q1 == std::string_view::npos || q1 + 2 >= raw.size() || raw[q1 + 2] != '?') return false;
    const char enc = raw[q1 + 1];
    if (enc != 'B' && enc != 'b' && enc != 'Q' && enc != 'q') return false;
    const auto close = closes.From(q1 + 3);
    if (close == std::string_view::npos) return false;
    const std::string_view charset = raw.substr(pos + 2, q1 - pos - 2);
    const std::string_view payload = raw.substr(q1 + 3, close - q1 - 3);
    if (charset.empty() || payload.find(' ') != std::string_view::npos) return false;
    bytes.clear();
    if (enc == 'B' || enc == 'b') {
        TBase64Decoder decoder;
        decoder.Feed(payload, bytes);
        decoder.Finish(bytes);
    } else {
        bytes = DecodeQ(payload);
    }
    charsetOut = charset;
    end = close + 2;
    return true;
}

std::string PlainToUtf8(std::string_view bytes) {
    return cp1252::IsValidUtf8(bytes) ? std::string(bytes) : cp1252::ToUtf8(bytes);
}

}  // namespace

std::string DecodeToUtf8(std::string_view raw) {
    std::string out;
    std::size_t pos = 0;
    std::size_t plainStart = 0;
    bool lastWasWord = false;
    // Senders split a text into words anywhere, even inside one multi-byte
    // character: the bytes of adjacent words of one charset are converted
    // together.
    // A charset nobody knows keeps the words as they came, which a reader
    // can still make out, rather than bytes read in some other charset.
    std::string pending;
    std::string_view pendingCharset;
    std::size_t pendingFrom = 0, pendingTo = 0;
    const auto flush = [&] {
        if (!pendingCharset.empty()) {
            TCharsetConverter converter(pendingCharset);
            if (converter.valid())
                out += *converter.ToUtf8(pending);
            else
                out += PlainToUtf8(raw.substr(pendingFrom, pendingTo - pendingFrom));
        }
        pending.clear();
        pendingCharset = {};
    };
    std::string bytes;
    TCloseFinder closes(raw);
    while (pos < raw.size()) {
        const auto at = raw.find("=?", pos);
        if (at == std::string_view::npos) break;
        std::size_t end = 0;
        std::string_view charset;
        if (!ReadWord(raw, at, closes, end, charset, bytes)) {
            pos = at + 2;
            continue;
        }
        const std::string_view between = raw.substr(plainStart, at - plainStart);
        // Blanks between two encoded words are folding, not text (RFC 2047 6.2).
        const bool onlyBlanks = between.find_first_not_of(" \t\r\n") == std::string_view::npos;
        const bool adjacent = lastWasWord && onlyBlanks;
        if (!adjacent || !text::EqualsNoCase(charset, pendingCharset)) {
            flush();
            pendingFrom = at;
        }
        if (!adjacent) out += PlainToUtf8(between);
        pending += bytes;
        pendingCharset = charset;
        pendingTo = end;
        lastWasWord = true;
        pos = plainStart = end;
    }
    flush();
    out += PlainToUtf8(raw.substr(plainStart));
    return out;
}

std::string ToStoredText(std::string_view raw) { return fieldtext::Encode(DecodeToUtf8(raw), fieldtext::kNoLimit); }

}  // namespace encodedwords
