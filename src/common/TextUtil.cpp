#include "common/TextUtil.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace text {

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Upper(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::string_view s, std::string_view needle) {
    if (needle.empty()) return 0;
    if (needle.size() > s.size()) return std::string_view::npos;
    for (std::size_t i = 0; i + needle.size() <= s.size(); ++i)
        if (EqualsNoCase(s.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::optional<int> ParseInt(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::int64_t value = 0;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    std::from_chars_result r{};
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        // Hexadecimal is read as an unsigned 32-bit pattern, so 0xFFFFFFFF is -1.
        std::uint32_t u = 0;
        r = std::from_chars(first + 2, last, u, 16);
        if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
        return static_cast<int>(u);
    }
    if (*first == '+') {  // from_chars takes only '-'
        ++first;
        if (first != last && *first == '-') return std::nullopt;
    }
    if (first == last) return std::nullopt;
    r = std::from_chars(first, last, value, 10);
    if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

bool NaturalLess(std::string_view a, std::string_view b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            // Leading zeros aside, the longer run is the larger number.
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            std::size_t ei = i, ej = j;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            if (ei - i != ej - j) return ei - i < ej - j;
            if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0) return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace text
