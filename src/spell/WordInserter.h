#pragma once

#include <cstdint>
#include <vector>

class DictionarySection;

// Puts one word (as letter codes) into a user dictionary's tree in place:
// new letters go in as chains, and room for a new list head is made by
// moving the nodes above it up by one.
class TWordInserter {
public:
    explicit TWordInserter(DictionarySection& section) : section_(section) {}

    // False when the tree is damaged in a way that leaves no sound place for
    // the word; nothing is written then.
    bool Insert(const std::vector<std::uint8_t>& codes);

private:
    static constexpr std::uint32_t kMoveBlock = 2048;

    bool BuildChain(std::uint32_t p, const std::vector<std::uint8_t>& codes, std::size_t from);
    bool MakeRoom(std::uint32_t p);
    bool BumpReferences(std::uint32_t first, std::uint32_t last, std::uint32_t p, std::uint32_t writeAt);

    DictionarySection& section_;
};
