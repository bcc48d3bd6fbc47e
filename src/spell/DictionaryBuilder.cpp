#include "spell/DictionaryBuilder.h"

#include <algorithm>

#include "common/Windows1252.h"
#include "spell/DictionaryNode.h"
#include "spell/LetterCodes.h"
#include "spell/SectionHeader.h"
#include "spell/SpellEngine.h"

namespace {

constexpr std::string_view kMainTextHeader =
    "MAIN DICTIONARY\r\n"
    "Skiffpost word list: letter tree of 3-byte nodes in sections of at most 64999 nodes.\r\n"
    "\x1A";

std::size_t CommonPrefix(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

void TDictionaryBuilder::AddWord(std::string_view word) {
    while (!word.empty() && (word.back() == '\r' || word.back() == '\n')) word.remove_suffix(1);
    if (word.empty()) return;
    const std::string upper = TLetterCodes::Upper(word);
    // One-letter words are always correct and need no place in a tree.
    if (upper.size() < 2 || upper.size() > SpellEngine::kMaxWordLength || !TLetterCodes::AllHaveCodes(upper)) {
        ++stats_.skipped;
        return;
    }
    std::vector<std::uint8_t> codes;
    for (unsigned char c : upper) codes.push_back(TLetterCodes::Encode(c));
    words_.push_back(std::move(codes));
}

void TDictionaryBuilder::AddUtf8List(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line != "\r") {
            if (cp1252::IsValidUtf8(line))
                AddWord(cp1252::FromUtf8(line));
            else
                ++stats_.skipped;
        }
        start = end + 1;
    }
}

void TDictionaryBuilder::Insert(TSection& section, const std::vector<std::uint8_t>& codes) {
    std::uint32_t at = 0;
    for (std::uint8_t code : codes) {
        auto& kids = section.pool[at].children;
        std::uint32_t next = 0;
        bool found = false;
        for (std::uint32_t k : kids)
            if (section.pool[k].code == code) {
                next = k;
                found = true;
                break;
            }
        if (!found) {
            next = static_cast<std::uint32_t>(section.pool.size());
            TTrieNode node;
            node.code = code;
            section.pool.push_back(node);
            // Words arrive sorted, so a new child always goes last.
            section.pool[at].children.push_back(next);
            ++section.nodes;
        }
        at = next;
    }
    section.pool[at].endsWord = true;
    ++section.words;
}

std::string TDictionaryBuilder::Build(std::uint32_t maxNodesPerSection) {
    std::sort(words_.begin(), words_.end());
    words_.erase(std::unique(words_.begin(), words_.end()), words_.end());
    stats_.words = words_.size();

    std::string out(kMainTextHeader);
    std::vector<TSection> sections;
    const std::vector<std::uint8_t>* previous = nullptr;
    for (const auto& w : words_) {
        // In sorted order a word adds exactly the letters after its common
        // prefix with the word before it.
        const std::size_t added = w.size() - (previous ? CommonPrefix(*previous, w) : 0);
        if (sections.empty() || sections.back().nodes + added > maxNodesPerSection) {
            sections.emplace_back();
            sections.back().pool.emplace_back();
        }
        Insert(sections.back(), w);
        previous = &w;
    }
    for (const auto& s : sections) AppendSection(out, s);
    stats_.sections = sections.size();
    return out;
}

void TDictionaryBuilder::AppendSection(std::string& out, const TSection& section) {
    // Lists are numbered depth first, each list followed by its children's
    // lists, so the nodes of one word lie close together in the file.
    std::vector<TDictionaryNode> nodes;
    nodes.reserve(section.nodes + 1);
    struct TPending {
        std::uint32_t parentSlot;  // node number whose child field gets the list (0: root)
        std::uint32_t trieNode;    // the trie node whose children form the list
    };
    std::vector<TPending> stack{{0, 0}};
    nodes.push_back({});  // node numbers start at 1; slot 0 is a placeholder
    while (!stack.empty()) {
        const TPending p = stack.back();
        stack.pop_back();
        const auto& kids = section.pool[p.trieNode].children;
        const auto first = static_cast<std::uint32_t>(nodes.size());
        if (p.parentSlot != 0) nodes[p.parentSlot].child = static_cast<std::uint16_t>(first);
        for (std::size_t i = 0; i < kids.size(); ++i) {
            const TTrieNode& t = section.pool[kids[i]];
            std::uint8_t flags = t.code;
            if (i + 1 == kids.size()) flags |= TDictionaryNode::kLastSibling;
            if (t.endsWord) flags |= TDictionaryNode::kWordEnd;
            nodes.push_back({0, flags});
        }
        for (std::size_t i = kids.size(); i-- > 0;)
            if (!section.pool[kids[i]].children.empty())
                stack.push_back({first + static_cast<std::uint32_t>(i), kids[i]});
    }
    const auto inUse = static_cast<std::uint32_t>(nodes.size() - 1);
    // A reader looks for another section only when more than 20 bytes
    // follow, so every section keeps at least two places.
    const std::uint32_t capacity = std::max<std::uint32_t>(inUse, 2);
    TSectionHeader header;
    header.nodesInUse = inUse;
    header.capacity = capacity;
    header.words = section.words;
    header.kind = 1;
    header.offset = static_cast<std::uint32_t>(out.size());
    const auto hb = header.ToBytes();
    out.append(reinterpret_cast<const char*>(hb.data()), hb.size());
    unsigned char b[3];
    for (std::uint32_t n = 1; n <= capacity; ++n) {
        (n < nodes.size() ? nodes[n] : TDictionaryNode{}).ToBytes(b);
        out.append(reinterpret_cast<const char*>(b), 3);
    }
}
