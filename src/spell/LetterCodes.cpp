#include "spell/LetterCodes.h"

#include <array>

namespace {

constexpr std::array<unsigned char, TLetterCodes::kCodeCount> MakeDecodeTable() {
    std::array<unsigned char, TLetterCodes::kCodeCount> t{};
    for (int i = 0; i < 26; ++i) t[i] = static_cast<unsigned char>('A' + i);
    t[26] = 0x27;
    t[27] = 0x2D;
    t[28] = 0x8A;
    t[29] = 0x8C;
    t[30] = 0x9F;
    for (int i = 0; i <= 0xD6 - 0xC0; ++i) t[31 + i] = static_cast<unsigned char>(0xC0 + i);
    for (int i = 0; i <= 0xDF - 0xD8; ++i) t[54 + i] = static_cast<unsigned char>(0xD8 + i);
    t[62] = 0xF0;
    t[63] = 0x60;
    return t;
}

constexpr auto kDecode = MakeDecodeTable();

// 0xFF in the entry means "no code of its own" (it encodes as 0).
constexpr std::array<unsigned char, 256> MakeEncodeTable() {
    std::array<unsigned char, 256> t{};
    for (auto& e : t) e = 0xFF;
    for (int code = 0; code < TLetterCodes::kCodeCount; ++code) t[kDecode[code]] = static_cast<unsigned char>(code);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 'a');
    for (int c = 0xE0; c <= 0xEF; ++c) t[c] = static_cast<unsigned char>(31 + (c - 0xE0));
    for (int c = 0xF1; c <= 0xF6; ++c) t[c] = static_cast<unsigned char>(48 + (c - 0xF1));
    for (int c = 0xF8; c <= 0xFE; ++c) t[c] = static_cast<unsigned char>(54 + (c - 0xF8));
    t[0xFF] = 30;
    t[0x9A] = 28;
    t[0x9C] = 29;
    return t;
}

constexpr auto kEncode = MakeEncodeTable();

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 0x20);
    for (int c = 0xE0; c <= 0xFF; ++c) t[c] = static_cast<unsigned char>(c - 0x20);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0xFF] = 0x9F;
    t[0xF0] = 0xF0;
    t[0xF7] = 0xF7;
    return t;
}

constexpr auto kUpper = MakeUpperTable();

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    for (int c = 0; c < 256; ++c)
        if (kUpper[c] != c) t[kUpper[c]] = static_cast<unsigned char>(c);
    return t;
}

constexpr auto kLower = MakeLowerTable();

}  // namespace

unsigned char TLetterCodes::Decode(unsigned char flags) { return kDecode[flags & 0x3F]; }

unsigned char TLetterCodes::Encode(unsigned char c) { return kEncode[c] == 0xFF ? 0 : kEncode[c]; }

bool TLetterCodes::HasCode(unsigned char c) { return kEncode[c] != 0xFF; }

bool TLetterCodes::AllHaveCodes(std::string_view word) {
    for (unsigned char c : word)
        if (!HasCode(c)) return false;
    return true;
}

unsigned char TLetterCodes::Upper(unsigned char c) { return kUpper[c]; }

std::string TLetterCodes::Upper(std::string_view word) {
    std::string out(word);
    for (auto& c : out) c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return out;
}

unsigned char TLetterCodes::Lower(unsigned char c) { return kLower[c]; }

bool TLetterCodes::IsLower(unsigned char c) { return kUpper[c] != c; }

bool TLetterCodes::IsUpper(unsigned char c) { return kLower[c] != c; }
