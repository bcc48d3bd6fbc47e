#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds a main dictionary file from a word list: the words go into sorted
// letter trees, a new section starting whenever the 16-bit child numbers of
// one section would run out. The same list always gives the same bytes.
class TDictionaryBuilder {
public:
    struct TStats {
        std::size_t words = 0;    // distinct words stored
        std::size_t skipped = 0;  // lines left out (characters without a letter code, too long, one letter)
        std::size_t sections = 0;
    };

    // Takes one word per line (Windows-1252).
    void AddWord(std::string_view word);
    // Takes a UTF-8 word list, one word per line.
    void AddUtf8List(std::string_view text);
    // The whole file; node limit per section is for tests that want small sections.
    std::string Build(std::uint32_t maxNodesPerSection = 64999);
    const TStats& Stats() const { return stats_; }

private:
    struct TTrieNode {
        std::uint8_t code = 0;
        bool endsWord = false;
        std::vector<std::uint32_t> children;  // indexes into the node pool, in code order
    };
    struct TSection {
        std::vector<TTrieNode> pool;  // pool[0] is the root
        std::uint32_t nodes = 0;
        std::uint32_t words = 0;
    };

    static void Insert(TSection& section, const std::vector<std::uint8_t>& codes);
    static void AppendSection(std::string& out, const TSection& section);

    std::vector<std::vector<std::uint8_t>> words_;
    TStats stats_;
};
