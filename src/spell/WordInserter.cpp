#include "spell/WordInserter.h"

#include <algorithm>

#include "spell/DictionarySection.h"

bool TWordInserter::Insert(const std::vector<std::uint8_t>& codes) {
    if (codes.empty()) return false;
    std::uint32_t list = 1;
    std::size_t i = 0;
    // Each pass goes one letter deeper; a word has at most as many letters as passes.
    for (std::size_t depth = 0; depth <= codes.size(); ++depth) {
        std::uint32_t n = list;
        std::uint32_t found = 0;
        bool ended = false;
        for (int k = 0; k < DictionarySection::kMaxSiblings; ++k, ++n) {
            const auto node = section_.Node(n);
            if (!node) return false;
            if (node->Code() == codes[i]) {
                found = n;
                break;
            }
            if (node->IsLast()) {
                ended = true;
                break;
            }
        }
        if (!found) {
            if (!ended) return false;  // a list without an end: damaged
            return BuildChain(list, codes, i);
        }
        ++i;
        auto x = *section_.Node(found);
        if (i == codes.size()) {
            x.flags |= TDictionaryNode::kWordEnd;
            return section_.WriteNode(found, x);
        }
        if (x.HasChildren()) {
            list = x.child;
            continue;
        }
        const std::uint32_t p = section_.Header().nodesInUse + 1;
        if (!BuildChain(p, codes, i)) return false;
        x.child = static_cast<std::uint16_t>(p);
        auto head = section_.Node(p);
        if (!head) return false;
        head->flags |= TDictionaryNode::kLastSibling;
        return section_.WriteNode(p, *head) && section_.WriteNode(found, x);
    }
    return false;
}

bool TWordInserter::BuildChain(std::uint32_t p, const std::vector<std::uint8_t>& codes, std::size_t from) {
    if (p == 0 || p > DictionarySection::kMaxNode) return false;
    if (!MakeRoom(p)) return false;
    auto& header = section_.MutableHeader();
    TDictionaryNode head{static_cast<std::uint16_t>(header.nodesInUse + 1), codes[from]};
    std::vector<TDictionaryNode> rest;
    for (std::size_t k = from + 1; k < codes.size(); ++k) {
        ++header.nodesInUse;
        rest.push_back({static_cast<std::uint16_t>(header.nodesInUse + 1),
                        static_cast<std::uint8_t>(codes[k] | TDictionaryNode::kLastSibling)});
    }
    TDictionaryNode& last = rest.empty() ? head : rest.back();
    last.child = 0;
    last.flags |= TDictionaryNode::kWordEnd;
    if (!rest.empty()) last.flags |= TDictionaryNode::kLastSibling;
    if (!section_.WriteNode(p, head)) return false;
    if (!rest.empty() && !section_.WriteNodes(header.nodesInUse - static_cast<std::uint32_t>(rest.size()) + 1,
                                              rest.data(), static_cast<std::uint32_t>(rest.size())))
        return false;
    header.capacity = std::max(header.capacity, header.nodesInUse);
    return true;
}

bool TWordInserter::MakeRoom(std::uint32_t p) {
    auto& header = section_.MutableHeader();
    if (p > header.nodesInUse) {
        ++header.nodesInUse;
        return true;
    }
    // From the end downwards, so that no node is overwritten before it moved.
    std::uint32_t end = header.nodesInUse;
    while (end >= p) {
        const std::uint32_t start = std::max(p, end >= kMoveBlock ? end - kMoveBlock + 1 : 1);
        if (!BumpReferences(start, end, p, start + 1)) return false;
        if (start == p) break;
        end = start - 1;
    }
    if (!section_.WriteNode(p, TDictionaryNode{})) return false;
    for (std::uint32_t first = 1; first < p; first += kMoveBlock) {
        const std::uint32_t last = std::min(p - 1, first + kMoveBlock - 1);
        if (!BumpReferences(first, last, p, first)) return false;
    }
    ++header.nodesInUse;
    return true;
}

bool TWordInserter::BumpReferences(std::uint32_t first, std::uint32_t last, std::uint32_t p, std::uint32_t writeAt) {
    const std::uint32_t count = last - first + 1;
    std::vector<TDictionaryNode> nodes(count);
    if (!section_.ReadNodes(first, nodes.data(), count)) return false;
    for (auto& n : nodes)
        if (n.child > p && n.child != TDictionaryNode::kNoChildren) ++n.child;
    return section_.WriteNodes(writeAt, nodes.data(), count);
}
