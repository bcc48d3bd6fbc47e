#include "incoming/Base64Decoder.h"

#include <array>

#include "common/Base64.h"

namespace {

constexpr std::uint8_t kSkip = 0xFE;
constexpr std::uint8_t kPad = 0xFD;

constexpr std::array<std::uint8_t, 256> MakeTable() {
    std::array<std::uint8_t, 256> t{};
    // Characters outside the alphabet are ignored (RFC 2045 6.8).
    for (auto& v : t) v = kSkip;
    for (int i = 0; i < 26; ++i) {
        t['A' + i] = static_cast<std::uint8_t>(i);
        t['a' + i] = static_cast<std::uint8_t>(26 + i);
    }
    for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<std::uint8_t>(52 + i);
    t['+'] = 62;
    t['/'] = 63;
    t['='] = kPad;
    return t;
}

constexpr std::array<std::uint8_t, 256> kTable = MakeTable();

}  // namespace

void TBase64Decoder::Feed(std::string_view text, std::string& out) {
    if (ended_) return;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    const std::size_t start = out.size();
    out.resize(start + (text.size() / 4 + 1) * 3);
    auto* dst = reinterpret_cast<unsigned char*>(out.data() + start);
    std::uint32_t bits = bits_;
    int count = count_;
    // The common case, four plain characters in a row, goes without the
    // per-character bookkeeping.
    while (true) {
        if (count == 0) {
            while (end - p >= 4) {
                const std::uint32_t a = kTable[p[0]], b = kTable[p[1]], c = kTable[p[2]], d = kTable[p[3]];
                if ((a | b | c | d) & 0xC0) break;
                const std::uint32_t v = (a << 18) | (b << 12) | (c << 6) | d;
                dst[0] = static_cast<unsigned char>(v >> 16);
                dst[1] = static_cast<unsigned char>(v >> 8);
                dst[2] = static_cast<unsigned char>(v);
                dst += 3;
                p += 4;
            }
        }
        if (p == end) break;
        const std::uint8_t v = kTable[*p++];
        if (v == kSkip) continue;
        if (v == kPad) {
            ended_ = true;
            break;
        }
        bits = (bits << 6) | v;
        if (++count == 4) {
            dst[0] = static_cast<unsigned char>(bits >> 16);
            dst[1] = static_cast<unsigned char>(bits >> 8);
            dst[2] = static_cast<unsigned char>(bits);
            dst += 3;
            bits = 0;
            count = 0;
        }
    }
    bits_ = bits;
    count_ = count;
    out.resize(static_cast<std::size_t>(reinterpret_cast<char*>(dst) - out.data()));
}

void TBase64Decoder::Finish(std::string& out) {
    // A lone sixth of a byte carries nothing; two characters give one byte,
    // three give two.
    if (count_ == 2) out += static_cast<char>(bits_ >> 4);
    if (count_ == 3) {
        out += static_cast<char>(bits_ >> 10);
        out += static_cast<char>(bits_ >> 2);
    }
    bits_ = 0;
    count_ = 0;
}

namespace base64 {

std::string EncodeLine(std::string_view bytes) {
    if (bytes.size() > kLineBytes) bytes = bytes.substr(0, kLineBytes);
    return Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::size_t EncodeLine(std::istream& in, std::string& line) {
    char buf[kLineBytes];
    in.read(buf, kLineBytes);
    const auto n = static_cast<std::size_t>(in.gcount());
    line = EncodeLine(std::string_view(buf, n));
    return n;
}

}  // namespace base64
