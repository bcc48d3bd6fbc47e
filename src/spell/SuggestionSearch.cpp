#include "spell/SuggestionSearch.h"

#include <algorithm>

#include "spell/Capitalisation.h"
#include "spell/DictionarySection.h"
#include "spell/EditWalk.h"
#include "spell/FirstLetterTable.h"
#include "spell/LetterCodes.h"
#include "spell/Similarity.h"
#include "spell/SoundKey.h"
#include "spell/SuggestionSource.h"

TSuggestionSearch::TSuggestionSearch(ISuggestionSource& engine, bool phoneme)
    : TSuggestionSearch(engine, phoneme, phoneme ? kPhonemeBonus : kCloseMatchBonus) {}

TSuggestionSearch::TSuggestionSearch(ISuggestionSource& engine, bool phoneme, TBonus bonus)
    : engine_(engine),
      phoneme_(phoneme),
      bonus_(bonus),
      translator_(engine.Rules()),
      maxPrefix_(phoneme ? kMaxPrefixPhoneme : kMaxPrefixCloseMatch) {}

std::vector<std::string> TSuggestionSearch::Run(std::string_view word, int maxSuggestions) {
    engine_.Refresh(true);
    ranked_ = TRankedList(static_cast<std::size_t>(std::clamp(maxSuggestions, 0, 255)));
    seen_.clear();
    const std::string typed(word.substr(0, ISuggestionSource::kMaxWordLength));
    upper_ = TLetterCodes::Upper(typed);
    if (upper_.empty()) return {};
    target_ = phoneme_ ? translator_.Translate(upper_) : upper_;

    const std::string key0 = SoundKey(upper_, {}, true);
    for (char first : TFirstLetterTable::LettersFor(static_cast<unsigned char>(upper_[0]))) {
        std::string key = key0;
        key[0] = first;
        for (const auto& section : engine_.Sections()) {
            if (!section->Usable()) continue;
            std::string prefix;
            // In a sound tree every node is reached at most once per walk;
            // more visits than the section has nodes mean the tree loops.
            std::size_t budget = section->NodeCount();
            Walk(*section, 1, prefix, key, budget);
        }
    }
    WalkEdits();
    AddSplits();

    std::vector<std::string> out;
    for (const auto& e : ranked_.Entries()) out.push_back(TCapitalisation::Apply(e.text, typed));
    return out;
}

void TSuggestionSearch::Walk(DictionarySection& section, std::uint32_t list, std::string& prefix,
                             const std::string& key, std::size_t& budget) {
    std::uint32_t n = list;
    for (int k = 0; k < DictionarySection::kMaxSiblings; ++k, ++n) {
        if (budget == 0) return;
        --budget;
        const auto node = section.Node(n);
        if (!node) return;
        const char letter = static_cast<char>(TLetterCodes::Decode(node->flags));
        if (node->EndsWord()) Consider(prefix + letter);
        if (node->HasChildren() && prefix.size() < maxPrefix_) {
            prefix.push_back(letter);
            if (SoundKey(prefix, key, false) == key) Walk(section, node->child, prefix, key, budget);
            prefix.pop_back();
        }
        if (node->IsLast()) return;
    }
}

void TSuggestionSearch::WalkEdits() {
    const auto found = [this](std::string_view word, int edits) { Consider(std::string(word), edits); };
    for (int edits = 1; edits <= 2; ++edits) {
        if (edits == 2 && upper_.size() < kTwoEditsFrom) break;
        TEditWalk walk(upper_, edits);
        for (const auto& section : engine_.Sections()) {
            if (!section->Usable()) continue;
            // One edit reaches few nodes; the section's size only stops a looping tree.
            walk.Run(*section, edits == 1 ? section->NodeCount() : kTwoEditVisits, found);
        }
    }
}

void TSuggestionSearch::Consider(std::string candidate, int edits) {
    if (!seen_.insert(candidate).second) return;
    if (edits < 0) edits = TEditWalk::Distance(candidate, upper_, 2);
    const int bonus = edits == 1 ? bonus_.oneEdit : edits == 2 ? bonus_.twoEdits : 0;
    std::string compared;
    if (phoneme_) {
        compared = translator_.Translate(candidate);
    } else {
        for (char c : candidate)
            if (c != '\'') compared.push_back(c);
    }
    // A full list drops a candidate that cannot pass its last entry, and the
    // shorter string's length bounds what the two strings share.
    if (ranked_.Full() && !ranked_.Entries().empty() &&
        TSimilarity::Bound(compared.size(), target_.size()) + bonus <= ranked_.Entries().back().score)
        return;
    ranked_.Insert(std::move(candidate), TSimilarity::Score(compared, target_) + bonus);
}

void TSuggestionSearch::AddSplits() {
    const std::size_t len = upper_.size();
    const auto isAorI = [](char c) { return c == 'A' || c == 'I'; };
    const std::size_t a = isAorI(upper_.front()) ? 1 : 2;
    const std::size_t b = isAorI(upper_.back()) ? len - 1 : (len >= 2 ? len - 2 : 0);
    for (std::size_t d = a; d <= b && d < len; ++d) {
        const std::string head = upper_.substr(0, d);
        const std::string tail = upper_.substr(d);
        if (engine_.LookupUpper(head) && engine_.LookupUpper(tail)) Consider(head + ' ' + tail);
    }
}
