#pragma once

#include <array>
#include <cstdint>

// The 17-byte header in front of each section's nodes (little-endian).
struct TSectionHeader {
    static constexpr int kSize = 17;

    std::uint32_t nodesInUse = 0;
    std::uint32_t capacity = 0;
    std::uint32_t words = 0;
    std::uint8_t kind = 0;  // non-zero: main dictionary; 0: user dictionary
    std::uint32_t offset = 0;

    static TSectionHeader FromBytes(const unsigned char* p);
    std::array<unsigned char, kSize> ToBytes() const;
};
