#include "spell/SoundKey.h"

#include <array>

namespace {

constexpr std::size_t kKeyLength = 4;

constexpr std::array<bool, 256> MakeDropped() {
    std::array<bool, 256> t{};
    for (unsigned char c : {'A', 'E', 'H', 'I', 'O', 'U', 'W', 'Y'}) t[c] = true;
    t[0x9F] = true;
    t[0xF0] = true;
    for (int c = 0xC0; c <= 0xC6; ++c) t[c] = true;
    for (int c = 0xC8; c <= 0xCF; ++c) t[c] = true;
    for (int c = 0xD2; c <= 0xD6; ++c) t[c] = true;
    for (int c = 0xD8; c <= 0xDD; ++c) t[c] = true;
    return t;
}

constexpr std::array<unsigned char, 256> MakeCodes() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    const auto set = [&](std::initializer_list<int> chars, unsigned char code) {
        for (int c : chars) t[c] = code;
    };
    set({'B', 'F', 'P', 'V', '6', '8', 0xDE, 0xDF}, 1);
    set({'C', 'G', 'J', 'K', 'Q', 'S', 'X', 'Z', '3', '4', '5', '9', 0x8A, 0x8C, 0xC7}, 2);
    set({'D', 'T', 0xD0}, 3);
    set({'L', '2'}, 4);
    set({'M', 'N', 0xD1}, 5);
    set({'R'}, 6);
    set({'\'', '-', '`'}, 7);
    set({'0', 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8}, 'O');
    set({'1', '7', 0xCC, 0xCD, 0xCE, 0xCF}, 'I');
    set({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6}, 'A');
    set({0xC8, 0xC9, 0xCA, 0xCB}, 'E');
    set({0xD9, 0xDA, 0xDB, 0xDC}, 'U');
    return t;
}

constexpr auto kDropped = MakeDropped();
constexpr auto kCodes = MakeCodes();

}  // namespace

std::string SoundKey(std::string_view word, std::string_view fill, bool pad) {
    std::string key;
    if (!word.empty()) {
        key.push_back(word[0]);
        for (std::size_t i = 1; i < word.size() && key.size() < kKeyLength; ++i) {
            const unsigned char c = static_cast<unsigned char>(word[i]);
            if (kDropped[c]) continue;
            const char code = static_cast<char>(kCodes[c]);
            // A repeat of any code already kept adds nothing.
            if (key.find(code, 1) != std::string::npos) continue;
            key.push_back(code);
        }
    }
    while (key.size() < kKeyLength) {
        const std::size_t at = key.size();
        key.push_back(pad || at >= fill.size() ? '\0' : fill[at]);
    }
    return key;
}
