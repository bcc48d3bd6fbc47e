#include "incoming/UUDecoder.h"

#include <array>
#include <cstdint>

#include "incoming/UUInvalidCharacter.h"

namespace uudecode {

namespace {

constexpr std::uint8_t kInvalid = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeTable() {
    std::array<std::uint8_t, 256> t{};
    for (auto& v : t) v = kInvalid;
    for (int c = 0x21; c <= 0x5F; ++c) t[c] = static_cast<std::uint8_t>(c - 32);
    t['`'] = 0;
    t[' '] = 0;
    return t;
}

constexpr std::array<std::uint8_t, 256> kTable = MakeTable();

std::uint32_t Value(char c) {
    const std::uint8_t v = kTable[static_cast<unsigned char>(c)];
    if (v == kInvalid) throw EUUInvalidCharacter();
    return v;
}

}  // namespace

void DecodeLine(std::string_view line, std::string& out) {
    if (line.empty()) return;
    const std::size_t count = Value(line[0]);
    const std::string_view data = line.substr(1);
    std::size_t written = 0;
    for (std::size_t i = 0; written < count; i += 4) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v = (v << 6) | (i + k < data.size() ? Value(data[i + k]) : 0);
        for (int b = 2; b >= 0 && written < count; --b, ++written) out += static_cast<char>(v >> (8 * b));
    }
}

}  // namespace uudecode
