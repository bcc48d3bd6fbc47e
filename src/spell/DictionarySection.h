#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "spell/DictionaryNode.h"
#include "spell/FileStamp.h"
#include "spell/NodeCache.h"
#include "spell/SectionHeader.h"

class TDictionaryFile;

// One open section: an independent letter tree with its own node numbering.
// Every node number that comes from the file is checked here before it is
// read, so a damaged file cannot send a walk outside the section.
class DictionarySection {
public:
    enum TKind { kMainFirst = 0, kMainLater = 1, kUser = 2 };
    // No sibling list of a sound tree is longer than the number of letter codes.
    static constexpr int kMaxSiblings = 64;
    // Child numbers are 16-bit and 65000 means "none".
    static constexpr std::uint32_t kMaxNode = 64999;
    // A user dictionary replaced under its name is noticed by lookups within
    // this time; changes in place are noticed at the next lookup.
    static constexpr std::chrono::milliseconds kStampInterval{20};

    DictionarySection(std::shared_ptr<TDictionaryFile> file, std::string fileName, const TSectionHeader& header,
                      std::int64_t headerOffset, TKind kind, int identity);
    ~DictionarySection();
    DictionarySection(const DictionarySection&) = delete;
    DictionarySection& operator=(const DictionarySection&) = delete;

    TKind Kind() const { return kind_; }
    int Identity() const { return identity_; }
    const std::string& FileName() const { return fileName_; }
    bool IsOpen() const { return file_ != nullptr; }
    // A user section whose file is (still) a user dictionary; main sections always.
    bool Usable() const { return file_ != nullptr && usable_; }
    const TSectionHeader& Header() const { return header_; }
    TSectionHeader& MutableHeader() { return header_; }
    std::int64_t HeaderOffset() const { return headerOffset_; }
    // The offset of node 1 minus 3: node n is at Base() + 3 x n.
    std::int64_t Base() const { return base_; }
    // The file offset where the next section's header would follow this one.
    std::int64_t NextHeaderOffset() const;

    // How many nodes the section can hold as the file stands: a walk of a
    // sound tree meets none of them twice.
    std::uint32_t NodeCount() const { return nodeLimit_; }

    // Node n, or nothing when n is no node of this section.
    std::optional<TDictionaryNode> Node(std::uint32_t n) {
        if (n == 0 || n > nodeLimit_) return std::nullopt;
        return cache_.Read(*file_, base_, n);
    }
    // The place (0 upwards) of the first node of the root list holding a
    // letter code, or -1 when the list has none: a lookup starts there.
    int RootPlace(std::uint8_t code) const { return rootPlace_[code & 0x3F] - 1; }

    // User sections: raw access to a run of nodes, past the cache.
    bool ReadNodes(std::uint32_t first, TDictionaryNode* out, std::uint32_t count) const;
    bool WriteNodes(std::uint32_t first, const TDictionaryNode* nodes, std::uint32_t count);
    bool WriteNode(std::uint32_t n, const TDictionaryNode& node) { return WriteNodes(n, &node, 1); }
    // Writes the header at its offset, after flushing the nodes written before it.
    bool WriteHeader();

    // User sections: reads the file again when another program changed it
    // (the header differs from the one last read, or the file's size, times
    // or identity do). The header is looked at through a shared mapping, so
    // a lookup pays no system call; the file itself is asked when the header
    // changed, when thorough, and otherwise at most every kStampInterval.
    void Refresh(bool thorough);

    void Close();

private:
    // Reads the user dictionary from the file now at the name: text header,
    // header, node limit; forgets every cached node. Unusable when the file
    // is no user dictionary any more.
    void Load();
    void IndexRoot();

    std::shared_ptr<TDictionaryFile> file_;
    std::string fileName_;
    TSectionHeader header_;
    std::int64_t headerOffset_;
    std::int64_t base_;
    TKind kind_;
    int identity_;
    bool usable_ = true;
    TNodeCache cache_;
    std::uint32_t nodeLimit_ = 0;               // the last node inside the file (and, for main sections, the capacity)
    std::array<std::uint8_t, 64> rootPlace_{};  // place + 1 in the root list by letter code; 0: none

    // User sections: what the file looked like when it was last read.
    const unsigned char* head_ = nullptr;  // the file's first bytes, shared with every writer
    std::array<unsigned char, TSectionHeader::kSize> seenHeader_{};
    TFileStamp stamp_;
    std::chrono::steady_clock::time_point stampedAt_{};
    std::uint32_t looks_ = 0;
};
