#include "spell/NodeCache.h"

#include "spell/DictionaryFile.h"

TNodeCache::TNodeCache() = default;

TDictionaryNode TNodeCache::Read(const TDictionaryFile& file, std::int64_t base, std::uint32_t n) {
    const std::int64_t block = 3 * static_cast<std::int64_t>(n & ~7u) + base;
    TSlot& slot = slots_[static_cast<std::size_t>((block / 8) % kSlots)];
    if (slot.tag != block) {
        // Past the end of the file the missing bytes stay zero.
        file.ReadAt(block, slot.bytes.data(), slot.bytes.size());
        slot.tag = block;
    }
    return TDictionaryNode::FromBytes(slot.bytes.data() + 3 * (n % 8));
}
