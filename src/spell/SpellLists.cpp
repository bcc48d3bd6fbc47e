#include "spell/SpellLists.h"

#include "spell/LetterCodes.h"

void TSpellLists::IgnoreAll(std::string_view word) { ignored_.insert(TLetterCodes::Upper(word)); }

bool TSpellLists::Ignored(std::string_view word) const { return ignored_.contains(TLetterCodes::Upper(word)); }

void TSpellLists::ChangeAll(std::string_view word, std::string_view replacement) {
    std::string upper = TLetterCodes::Upper(word);
    for (auto& change : changes_) {
        if (change.first == upper) {
            change.second = replacement;
            return;
        }
    }
    changes_.emplace_back(std::move(upper), std::string(replacement));
}

std::optional<std::string> TSpellLists::ChangeOf(std::string_view word) const {
    const std::string upper = TLetterCodes::Upper(word);
    for (const auto& change : changes_)
        if (change.first == upper) return change.second;
    return std::nullopt;
}

void TSpellLists::Clear() {
    ignored_.clear();
    changes_.clear();
}
