#pragma once

#include <array>
#include <cstdint>

#include "spell/DictionaryNode.h"

class TDictionaryFile;

// Main dictionaries are read node by node through 1024 slots of eight nodes,
// so a dictionary of any size is usable without loading it.
class TNodeCache {
public:
    static constexpr int kSlots = 1024;
    static constexpr int kNodesPerSlot = 8;

    TNodeCache();
    // Node n of the section whose node 1 is at base + 3.
    TDictionaryNode Read(const TDictionaryFile& file, std::int64_t base, std::uint32_t n);

private:
    struct TSlot {
        std::int64_t tag = -1;
        std::array<unsigned char, kNodesPerSlot * TDictionaryNode::kSize> bytes{};
    };
    std::array<TSlot, kSlots> slots_;
};
