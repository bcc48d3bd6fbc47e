#include "spell/RankedList.h"

void TRankedList::Insert(std::string text, int score) {
    if (capacity_ == 0) return;
    if (text.size() > kMaxText) text.resize(kMaxText);
    std::size_t at = 0;
    while (at < entries_.size() && entries_[at].score >= score) ++at;
    if (at == entries_.size()) {
        if (!Full()) entries_.push_back({std::move(text), score});
        return;
    }
    if (Full()) entries_.pop_back();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), TEntry{std::move(text), score});
}
