#pragma once

#include <cstdint>

// One three-byte node of a dictionary tree: the number of the first node of
// its child list, then a flags byte holding the letter code, the last-sibling
// bit and the word-end bit.
struct TDictionaryNode {
    static constexpr std::uint16_t kNoChildren = 65000;
    static constexpr std::uint8_t kLastSibling = 0x40;
    static constexpr std::uint8_t kWordEnd = 0x80;
    static constexpr int kSize = 3;

    std::uint16_t child = 0;
    std::uint8_t flags = 0;

    std::uint8_t Code() const { return flags & 0x3F; }
    bool IsLast() const { return (flags & kLastSibling) != 0; }
    bool EndsWord() const { return (flags & kWordEnd) != 0; }
    bool HasChildren() const { return child != 0 && child != kNoChildren; }

    static TDictionaryNode FromBytes(const unsigned char* p) {
        return {static_cast<std::uint16_t>(p[0] | (p[1] << 8)), p[2]};
    }
    void ToBytes(unsigned char* p) const {
        p[0] = static_cast<unsigned char>(child & 0xFF);
        p[1] = static_cast<unsigned char>(child >> 8);
        p[2] = flags;
    }
};
