#include "book/QuickLists.h"

#include <algorithm>

#include "book/MemberFields.h"
#include "common/TextUtil.h"
#include "transport/RecipientList.h"

namespace {
bool ValidPage(int page) { return page >= 0 && page < TQuickLists::kPages; }
}  // namespace

void TQuickLists::Load(std::string_view to, std::string_view cc, std::string_view bcc) {
    lists_[To] = TRecipientList::Split(to);
    lists_[CC] = TRecipientList::Split(cc);
    lists_[BCC] = TRecipientList::Split(bcc);
}

bool TQuickLists::Contains(std::string_view value) const {
    return std::any_of(lists_.begin(), lists_.end(), [&](const auto& list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const std::string& e) { return text::EqualsNoCase(e, value); });
    });
}

bool TQuickLists::Add(int page, std::string_view value) {
    if (!ValidPage(page)) return false;
    const std::string entry = text::Trim(value);
    if (entry.empty() || Contains(entry)) return false;
    lists_[static_cast<std::size_t>(page)].push_back(entry);
    return true;
}

void TQuickLists::Remove(int page, int index) {
    if (!ValidPage(page)) return;
    auto& list = lists_[static_cast<std::size_t>(page)];
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    list.erase(list.begin() + index);
}

const std::vector<std::string>& TQuickLists::Entries(int page) const {
    return lists_[static_cast<std::size_t>(ValidPage(page) ? page : To)];
}

std::string TQuickLists::Joined(int page) const {
    std::string out;
    for (const auto& entry : Entries(page)) {
        if (!out.empty()) out += ", ";
        out += entry;
    }
    return out;
}

std::vector<std::string> TQuickLists::MemberAddresses(const std::vector<TListRow>& book, std::string_view name) {
    for (const auto& member : book) {
        if (!text::EqualsNoCase(member.caption, name)) continue;
        std::vector<std::string> out;
        for (auto& line : listfile::SplitLines(member.SubItem(memberfield::Addresses)))
            if (!text::Trim(line).empty()) out.push_back(std::move(line));
        return out;
    }
    return {};
}
