#include "common/FieldText.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "common/Windows1252.h"

namespace fieldtext {

namespace {

constexpr std::string_view kPrefixQ = "=?UTF-8?Q?";
constexpr std::string_view kPrefixB = "=?UTF-8?B?";
constexpr std::size_t kWordOverhead = 12;  // "=?UTF-8?Q?" and "?="
constexpr std::size_t kMaxWord = 75;       // the longest encoded word RFC 2047 allows

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::optional<std::string> DecodeB(std::string_view s) {
    while (!s.empty() && s.back() == '=') s.remove_suffix(1);
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : s) {
        const int v = Base64Value(c);
        if (v < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

std::optional<std::string> DecodeQ(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_') {
            out += ' ';
        } else if (s[i] == '=') {
            if (i + 2 >= s.size() || Hex(s[i + 1]) < 0 || Hex(s[i + 2]) < 0) return std::nullopt;
            out += static_cast<char>(Hex(s[i + 1]) * 16 + Hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The encoded word of UTF-8 at pos ("=?"): its text, and end past it. Only
// well-formed words of valid UTF-8 count; anything else is literal text.
std::optional<std::string> ReadWord(std::string_view s, std::size_t pos, std::size_t& end) {
    constexpr std::string_view kCharset = "utf-8";
    if (s.size() < pos + 2 + kCharset.size() + 5) return std::nullopt;
    for (std::size_t i = 0; i < kCharset.size(); ++i) {
        char c = s[pos + 2 + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kCharset[i]) return std::nullopt;
    }
    std::size_t at = pos + 2 + kCharset.size();
    if (s[at] != '?' || s[at + 2] != '?') return std::nullopt;
    const char enc = s[at + 1];
    if (enc != 'B' && enc != 'b' && enc != 'Q' && enc != 'q') return std::nullopt;
    const std::size_t start = at + 3;
    std::size_t close = start;
    while (close < s.size() && s[close] != '?') {
        const auto c = static_cast<unsigned char>(s[close]);
        if (c <= 0x20 || c >= 0x7F) return std::nullopt;
        ++close;
    }
    if (close + 1 >= s.size() || s[close + 1] != '=' || close == start) return std::nullopt;
    const std::string_view payload = s.substr(start, close - start);
    auto bytes = (enc == 'B' || enc == 'b') ? DecodeB(payload) : DecodeQ(payload);
    if (!bytes || !cp1252::IsValidUtf8(*bytes)) return std::nullopt;
    end = close + 2;
    return bytes;
}

bool HasWord(std::string_view stored) {
    for (auto at = stored.find("=?"); at != std::string_view::npos; at = stored.find("=?", at + 1)) {
        std::size_t end = 0;
        if (ReadWord(stored, at, end)) return true;
    }
    return false;
}

// The code points of UTF-8 text; a malformed byte is its Windows-1252 character.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t before = pos;
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        out.push_back(cp ? *cp : cp1252::ToUnicode(static_cast<unsigned char>(utf8[before])));
    }
    return out;
}

bool QKeeps(char32_t cp) {
    return (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9') || cp == '!' || cp == '*' ||
           cp == '+' || cp == '-' || cp == '/' || cp == ' ';
}

// A run of characters as encoded words of at most 75 characters, each in Q
// or B, whichever is shorter (Q when equal: it stays legible), joined by
// single blanks that a reader drops.
void AppendRun(std::string& out, const char32_t* cps, std::size_t count) {
    std::string utf8;
    std::size_t qLength = 0;
    bool first = true;
    const auto bLength = [](std::size_t bytes) { return (bytes + 2) / 3 * 4; };
    const auto emit = [&] {
        if (utf8.empty()) return;
        if (!first) out += ' ';
        first = false;
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (qLength <= bLength(utf8.size())) {
            out += kPrefixQ;
            std::size_t pos = 0;
            while (pos < utf8.size()) {
                const std::size_t before = pos;
                const char32_t cp = *cp1252::DecodeUtf8(utf8, pos);
                if (cp == ' ') {
                    out += '_';
                } else if (QKeeps(cp)) {
                    out += static_cast<char>(cp);
                } else {
                    for (std::size_t i = before; i < pos; ++i) {
                        const auto b = static_cast<unsigned char>(utf8[i]);
                        out += '=';
                        out += kHex[b >> 4];
                        out += kHex[b & 15];
                    }
                }
            }
        } else {
            out += kPrefixB;
            static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            for (std::size_t i = 0; i < utf8.size(); i += 3) {
                const std::size_t n = std::min<std::size_t>(3, utf8.size() - i);
                unsigned v = 0;
                for (std::size_t k = 0; k < 3; ++k)
                    v = (v << 8) | (k < n ? static_cast<unsigned char>(utf8[i + k]) : 0u);
                out += kAlphabet[(v >> 18) & 63];
                out += kAlphabet[(v >> 12) & 63];
                out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
                out += n > 2 ? kAlphabet[v & 63] : '=';
            }
        }
        out += "?=";
        utf8.clear();
        qLength = 0;
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::string one;
        cp1252::AppendUtf8(one, cps[i]);
        const std::size_t q = QKeeps(cps[i]) ? 1 : 3 * one.size();
        if (!utf8.empty() && std::min(qLength + q, bLength(utf8.size() + one.size())) + kWordOverhead > kMaxWord)
            emit();
        utf8 += one;
        qLength += q;
    }
    emit();
}

bool InCodePage(char32_t cp) { return cp1252::FromUnicode(cp).has_value(); }

// The stored form of the first count code points: words that Windows-1252
// holds and that do not read as an encoded word stay as they are; every run
// of other words, with the blanks between them, becomes encoded words.
std::string Build(const std::vector<char32_t>& cps, std::size_t count) {
    struct TToken {
        std::size_t begin, end;
        bool encode;
    };
    std::vector<TToken> tokens;
    std::size_t i = 0;
    while (i < count) {
        if (cps[i] == ' ') {
            ++i;
            continue;
        }
        TToken t{i, i, false};
        std::string bytes;
        while (t.end < count && cps[t.end] != ' ') {
            const auto b = cp1252::FromUnicode(cps[t.end]);
            if (!b)
                t.encode = true;
            else
                bytes += static_cast<char>(*b);
            ++t.end;
        }
        if (!t.encode && HasWord(bytes)) t.encode = true;
        tokens.push_back(t);
        i = t.end;
    }
    std::string out;
    std::size_t plainFrom = 0;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (!tokens[k].encode) continue;
        std::size_t last = k;
        while (last + 1 < tokens.size() && tokens[last + 1].encode) ++last;
        for (std::size_t p = plainFrom; p < tokens[k].begin; ++p)
            out += static_cast<char>(*cp1252::FromUnicode(cps[p]));
        AppendRun(out, cps.data() + tokens[k].begin, tokens[last].end - tokens[k].begin);
        plainFrom = tokens[last].end;
        k = last;
    }
    for (std::size_t p = plainFrom; p < count; ++p) out += static_cast<char>(*cp1252::FromUnicode(cps[p]));
    return out;
}

locale_t Utf8Locale() {
    static const locale_t locale = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (!l) l = ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
        return l;
    }();
    return locale;
}

}  // namespace

char32_t FoldChar(char32_t cp) {
    if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp - 'A' + 'a' : cp;
    const locale_t locale = Utf8Locale();
    if (!locale) return cp;
    const auto upper = ::towupper_l(static_cast<wint_t>(cp), locale);
    return static_cast<char32_t>(::towlower_l(upper, locale));
}

namespace {

// Walks UTF-8 text one folded character at a time; a malformed byte is a
// character of its own beyond every code point.
class TFoldedWalk {
public:
    explicit TFoldedWalk(std::string_view s) : s_(s) {}
    bool Done() const { return pos_ >= s_.size(); }
    char32_t Next() {
        const std::size_t before = pos_;
        const auto cp = cp1252::DecodeUtf8(s_, pos_);
        return cp ? FoldChar(*cp) : 0x110000 + static_cast<unsigned char>(s_[before]);
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string Decode(std::string_view stored) {
    auto at = stored.find("=?");
    if (at == std::string_view::npos) return IsAscii(stored) ? std::string(stored) : cp1252::ToUtf8(stored);
    std::string out;
    std::size_t plainStart = 0;
    bool lastWasWord = false;
    while (at != std::string_view::npos) {
        std::size_t end = 0;
        auto bytes = ReadWord(stored, at, end);
        if (!bytes) {
            at = stored.find("=?", at + 1);
            continue;
        }
        const std::string_view between = stored.substr(plainStart, at - plainStart);
        // The blanks between two encoded words only separate them.
        if (!(lastWasWord && between.find_first_not_of(' ') == std::string_view::npos)) out += cp1252::ToUtf8(between);
        out += *bytes;
        lastWasWord = true;
        plainStart = end;
        at = stored.find("=?", end);
    }
    out += cp1252::ToUtf8(stored.substr(plainStart));
    return out;
}

std::string Encode(std::string_view utf8, std::size_t limit) {
    if (IsAscii(utf8) && utf8.find("=?") == std::string_view::npos) return std::string(utf8.substr(0, limit));
    const std::vector<char32_t> cps = CodePoints(utf8);
    if (std::all_of(cps.begin(), cps.end(), InCodePage)) {
        std::string bytes;
        bytes.reserve(cps.size());
        for (char32_t cp : cps) bytes += static_cast<char>(*cp1252::FromUnicode(cp));
        // A cut never makes an encoded word: one lies whole in the text or not at all.
        if (!HasWord(bytes)) return bytes.substr(0, std::min(limit, bytes.size()));
    }
    std::string whole = Build(cps, cps.size());
    if (whole.size() <= limit) return whole;
    // The most characters whose stored form fits.
    std::size_t low = 0, high = cps.size();
    std::string best;
    while (low < high) {
        const std::size_t mid = low + (high - low + 1) / 2;
        std::string candidate = Build(cps, mid);
        if (candidate.size() <= limit) {
            low = mid;
            best = std::move(candidate);
        } else {
            high = mid - 1;
        }
    }
    return best;
}

std::string Fit(std::string_view stored, std::size_t limit) {
    if (stored.size() <= limit) return std::string(stored);
    if (!HasWord(stored)) return std::string(stored.substr(0, limit));
    return Encode(Decode(stored), limit);
}

std::optional<std::string> ToWindows1252(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (char32_t cp : CodePoints(utf8)) {
        const auto b = cp1252::FromUnicode(cp);
        if (!b) return std::nullopt;
        out += static_cast<char>(*b);
    }
    return out;
}

std::string Fold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t before = pos;
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        if (cp)
            cp1252::AppendUtf8(out, FoldChar(*cp));
        else
            out += utf8[before];
    }
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    TFoldedWalk x(a), y(b);
    while (!x.Done() && !y.Done()) {
        const char32_t cx = x.Next(), cy = y.Next();
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    if (x.Done() && y.Done()) return 0;
    return x.Done() ? -1 : 1;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
    if (needle.empty()) return true;
    return Fold(text).find(Fold(needle)) != std::string::npos;
}

}  // namespace fieldtext
