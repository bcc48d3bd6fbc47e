#include "spell/NodeCache.h"

TNodeCache::TNodeCache() = default;

void TNodeCache::Fill(const TDictionaryFile& file, TSlot& slot, std::int64_t block) {
    // Past the end of the file the missing bytes stay zero.
    file.ReadAt(block, slot.bytes.data(), slot.bytes.size());
    slot.tag = block;
}

void TNodeCache::Clear() {
    for (auto& slot : slots_) slot.tag = -1;
}

void TNodeCache::Forget(std::int64_t base, std::uint32_t first, std::uint32_t count) {
    if (count > static_cast<std::uint32_t>(kSlots)) {
        Clear();
        return;
    }
    for (std::uint32_t n = first & ~7u; n < first + count; n += kNodesPerSlot) {
        const std::int64_t block = 3 * static_cast<std::int64_t>(n) + base;
        TSlot& slot = slots_[static_cast<std::size_t>(block / 8) % kSlots];
        if (slot.tag == block) slot.tag = -1;
    }
}
