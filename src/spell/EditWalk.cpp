#include "spell/EditWalk.h"

#include <algorithm>

#include "spell/DictionarySection.h"
#include "spell/LetterCodes.h"

namespace {

// Letter codes are six bits, so no node holds this one.
constexpr std::uint8_t kNoCode = 0xFF;

}  // namespace

TEditWalk::TEditWalk(std::string_view upper, int maxEdits) : maxEdits_(std::clamp(maxEdits, 0, kMaxEdits)) {
    upper = upper.substr(0, kMaxWord);
    for (unsigned char c : upper) word_[length_++] = TLetterCodes::HasCode(c) ? TLetterCodes::Encode(c) : kNoCode;
    for (std::size_t j = 0; j <= length_; ++j) rows_[0][j] = static_cast<std::uint8_t>(j);
}

std::size_t TEditWalk::Run(DictionarySection& section, std::size_t budget, const TFound& found) {
    section_ = &section;
    found_ = &found;
    budget_ = budget;
    prefix_.clear();
    if (length_ > 0) Walk(1, 0);
    return budget_;
}

void TEditWalk::Walk(std::uint32_t list, std::size_t depth) {
    const TRow& prev = rows_[depth];
    TRow& row = rows_[depth + 1];
    const std::size_t n = length_;
    const std::size_t edits = static_cast<std::size_t>(maxEdits_);
    const std::uint8_t over = static_cast<std::uint8_t>(maxEdits_ + 1);
    std::uint32_t at = list;
    for (int k = 0; k < DictionarySection::kMaxSiblings; ++k, ++at) {
        if (budget_ == 0) return;
        --budget_;
        const auto node = section_->Node(at);
        if (!node) return;
        const std::uint8_t code = node->Code();
        path_[depth] = code;
        // Only a band of the row around the diagonal can stay within the
        // allowance; the places just outside it hold the allowance plus one.
        const std::size_t i = depth + 1;
        const std::size_t lo = i > edits ? i - edits : 1;
        const std::size_t hi = std::min(n, i + edits);
        row[0] = static_cast<std::uint8_t>(std::min<std::size_t>(i, over));
        if (lo > 1 && lo - 1 <= n) row[lo - 1] = over;
        if (hi + 1 <= n) row[hi + 1] = over;
        std::uint8_t best = row[0];
        for (std::size_t j = lo; j <= hi; ++j) {
            int d = std::min({prev[j] + 1, row[j - 1] + 1, prev[j - 1] + (code == word_[j - 1] ? 0 : 1)});
            // Two neighbouring letters swapped count as one edit.
            if (depth >= 1 && j >= 2 && code == word_[j - 2] && path_[depth - 1] == word_[j - 1])
                d = std::min(d, rows_[depth - 1][j - 2] + 1);
            row[j] = static_cast<std::uint8_t>(std::min<int>(d, over));
            best = std::min(best, row[j]);
        }
        // A swap reaches back two rows, but its distance is bounded by the
        // row in between, so a row past the allowance ends the branch.
        if (best <= edits) {
            prefix_.push_back(static_cast<char>(TLetterCodes::Decode(node->flags)));
            if (node->EndsWord() && n >= lo && n <= hi && row[n] <= edits) (*found_)(prefix_, row[n]);
            if (node->HasChildren() && depth + 1 < kMaxDepth && depth + 1 < n + edits) Walk(node->child, depth + 1);
            prefix_.pop_back();
        }
        if (node->IsLast()) return;
    }
}

int TEditWalk::Distance(std::string_view a, std::string_view b, int limit) {
    const int over = limit + 1;
    if (a.size() > b.size() + static_cast<std::size_t>(limit) || b.size() > a.size() + static_cast<std::size_t>(limit))
        return over;
    a = a.substr(0, 40);
    b = b.substr(0, 40);
    // Three rows of the same table the walk keeps, one per letter of a.
    std::array<int, 41> before{}, prev{}, row{};
    for (std::size_t j = 0; j <= b.size(); ++j) prev[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = static_cast<int>(i);
        int best = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            int d = std::min({prev[j] + 1, row[j - 1] + 1, prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i >= 2 && j >= 2 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d = std::min(d, before[j - 2] + 1);
            row[j] = d;
            best = std::min(best, d);
        }
        if (best > limit) return over;
        before = prev;
        prev = row;
    }
    return std::min(prev[b.size()], over);
}
