#include "transport/Fingerprint.h"

namespace fingerprint {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kDigestSize = 32;
}  // namespace

std::string Format(const unsigned char* digest, std::size_t size) {
    std::string out;
    out.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (i) out.push_back(':');
        out.push_back(kHex[digest[i] >> 4]);
        out.push_back(kHex[digest[i] & 15]);
    }
    return out;
}

std::string Normalize(std::string_view text) {
    unsigned char digest[kDigestSize];
    std::size_t digits = 0;
    for (const char c : text) {
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else if (c == ':' || c == ' ')
            continue;
        else
            return {};
        if (digits == 2 * kDigestSize) return {};
        if (digits % 2 == 0)
            digest[digits / 2] = static_cast<unsigned char>(value << 4);
        else
            digest[digits / 2] = static_cast<unsigned char>(digest[digits / 2] | value);
        ++digits;
    }
    if (digits != 2 * kDigestSize) return {};
    return Format(digest, kDigestSize);
}

}  // namespace fingerprint
