#pragma once

#include <array>
#include <cstdint>

#include "spell/DictionaryFile.h"
#include "spell/DictionaryNode.h"

// Dictionaries are read node by node through 1024 slots of eight nodes, so a
// dictionary of any size is usable without loading it. A user dictionary's
// slots are forgotten whenever its file changes.
class TNodeCache {
public:
    static constexpr int kSlots = 1024;
    static constexpr int kNodesPerSlot = 8;

    TNodeCache();
    // Node n of the section whose node 1 is at base + 3.
    TDictionaryNode Read(const TDictionaryFile& file, std::int64_t base, std::uint32_t n) {
        const std::int64_t block = 3 * static_cast<std::int64_t>(n & ~7u) + base;
        TSlot& slot = slots_[static_cast<std::size_t>(block / 8) % kSlots];
        if (slot.tag != block) Fill(file, slot, block);
        return TDictionaryNode::FromBytes(slot.bytes.data() + 3 * (n % 8));
    }
    void Clear();
    // Forgets the slots holding nodes first to first + count - 1.
    void Forget(std::int64_t base, std::uint32_t first, std::uint32_t count);

private:
    struct TSlot {
        std::int64_t tag = -1;
        std::array<unsigned char, kNodesPerSlot * TDictionaryNode::kSize> bytes{};
    };
    static void Fill(const TDictionaryFile& file, TSlot& slot, std::int64_t block);
    std::array<TSlot, kSlots> slots_;
};
