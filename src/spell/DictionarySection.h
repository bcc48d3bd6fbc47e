#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "spell/DictionaryNode.h"
#include "spell/SectionHeader.h"

class TDictionaryFile;
class TNodeCache;

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

    DictionarySection(std::shared_ptr<TDictionaryFile> file, std::string fileName, const TSectionHeader& header,
                      std::int64_t headerOffset, TKind kind, int identity);
    ~DictionarySection();
    DictionarySection(const DictionarySection&) = delete;
    DictionarySection& operator=(const DictionarySection&) = delete;

    TKind Kind() const { return kind_; }
    int Identity() const { return identity_; }
    const std::string& FileName() const { return fileName_; }
    bool IsOpen() const { return file_ != nullptr; }
    const TSectionHeader& Header() const { return header_; }
    TSectionHeader& MutableHeader() { return header_; }
    std::int64_t HeaderOffset() const { return headerOffset_; }
    // The offset of node 1 minus 3: node n is at Base() + 3 x n.
    std::int64_t Base() const { return base_; }
    // The file offset where the next section's header would follow this one.
    std::int64_t NextHeaderOffset() const;

    // How many nodes the section can hold as the file stands: a walk of a
    // sound tree meets none of them twice.
    std::uint32_t NodeCount() const;

    // Node n, or nothing when n is no node of this section.
    std::optional<TDictionaryNode> Node(std::uint32_t n);

    // User sections: raw access to a run of nodes (no cache; they change).
    bool ReadNodes(std::uint32_t first, TDictionaryNode* out, std::uint32_t count) const;
    bool WriteNodes(std::uint32_t first, const TDictionaryNode* nodes, std::uint32_t count);
    bool WriteNode(std::uint32_t n, const TDictionaryNode& node) { return WriteNodes(n, &node, 1); }
    // Reads the header again from its recorded offset (another program may have added words).
    bool ReloadHeader();
    // Writes the header at its offset, after flushing the nodes written before it.
    bool WriteHeader();

    void Close();

private:
    std::shared_ptr<TDictionaryFile> file_;
    std::string fileName_;
    TSectionHeader header_;
    std::int64_t headerOffset_;
    std::int64_t base_;
    TKind kind_;
    int identity_;
    std::unique_ptr<TNodeCache> cache_;
    std::uint32_t nodeLimit_ = 0;  // main sections: the last node inside both capacity and file
};
