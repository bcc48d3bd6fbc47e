#include "transport/RecipientList.h"

#include <set>
#include <tuple>

#include "common/TextUtil.h"

std::vector<std::string> TRecipientList::Split(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
        if (i >= text.size()) break;
        const std::size_t comma = text.find(',', i);
        const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        std::string_view entry = text.substr(i, end - i);
        while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
        if (!entry.empty()) out.emplace_back(entry);
        i = end;
    }
    return out;
}

namespace {

const TListRow* FindMember(const std::vector<TListRow>& book, const std::string& name) {
    for (const auto& row : book)
        if (text::EqualsNoCase(row.caption, name)) return &row;
    return nullptr;
}

}  // namespace

void TRecipientList::ExpandBook(const std::vector<TListRow>& book) {
    // What each expansion added: the list it went to, whether it was the
    // first address only, and the member (lower case). Adding that again
    // would add nothing new, so only such a repeat is dropped: this ends
    // lists that name each other, while a member named in To and in CC
    // still adds to both.
    std::set<std::tuple<const std::vector<std::string>*, bool, std::string>> expanded;
    auto walk = [&](std::vector<std::string>& list, bool isTo) {
        for (std::size_t i = 0; i < list.size();) {
            const TListRow* member = FindMember(book, list[i]);
            if (!member) {
                ++i;
                continue;
            }
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            const std::string& kind = member->SubItem(4);
            std::vector<std::string>* target = &list;
            if (isTo && kind == "1")
                target = &cc;
            else if (isTo && kind == "2")
                target = &bcc;
            const bool firstOnly = target == &to;
            if (!expanded.emplace(target, firstOnly, text::ToLowerAscii(member->caption)).second) continue;
            std::vector<std::string> addresses;
            for (auto& a : listfile::SplitLines(member->SubItem(6)))
                if (!a.empty()) addresses.push_back(std::move(a));
            if (firstOnly && !addresses.empty()) addresses.resize(1);
            target->insert(target->end(), addresses.begin(), addresses.end());
        }
    };
    walk(to, true);
    walk(cc, false);
    walk(bcc, false);
}
