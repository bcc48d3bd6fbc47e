#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The best candidates found so far, in descending score order; a candidate
// with a score equal to one already listed goes behind it.
class TRankedList {
public:
    static constexpr std::size_t kMaxText = 30;
    struct TEntry {
        std::string text;
        int score = 0;
    };

    explicit TRankedList(std::size_t capacity) : capacity_(capacity) {}

    void Insert(std::string text, int score);
    const std::vector<TEntry>& Entries() const { return entries_; }
    bool Full() const { return entries_.size() >= capacity_; }

private:
    std::size_t capacity_;
    std::vector<TEntry> entries_;
};
