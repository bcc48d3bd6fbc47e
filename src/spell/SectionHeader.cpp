#include "spell/SectionHeader.h"

namespace {

std::uint32_t Get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

TSectionHeader TSectionHeader::FromBytes(const unsigned char* p) {
    TSectionHeader h;
    h.nodesInUse = Get32(p);
    h.capacity = Get32(p + 4);
    h.words = Get32(p + 8);
    h.kind = p[12];
    h.offset = Get32(p + 13);
    return h;
}

std::array<unsigned char, TSectionHeader::kSize> TSectionHeader::ToBytes() const {
    std::array<unsigned char, kSize> b{};
    Put32(b.data(), nodesInUse);
    Put32(b.data() + 4, capacity);
    Put32(b.data() + 8, words);
    b[12] = kind;
    Put32(b.data() + 13, offset);
    return b;
}
