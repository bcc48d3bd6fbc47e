// An address book and three recipient texts: splitting and expansion end,
// grow by no more than the book's addresses, and leave no entry that still
// names a member of the book.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/ListFile.h"
#include "common/TextUtil.h"
#include "transport/RecipientList.h"
#include "transport/RecipientParts.h"

namespace {

// Entries have no comma, no blank at either end and are never empty.
void CheckEntries(const std::vector<std::string>& entries) {
    for (const auto& e : entries)
        if (e.empty() || e.find(',') != std::string::npos || e.front() == ' ' || e.back() == ' ') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The book file up to the first NUL byte, then the To, CC and BCC texts
    // on lines of their own.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto nul = input.find('\0');
    const std::vector<TListRow> book = listfile::Parse(input.substr(0, nul));
    std::string_view rest = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    std::string_view texts[3];
    for (auto& t : texts) {
        const auto nl = rest.find('\n');
        t = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    }

    TRecipientList list;
    list.to = TRecipientList::Split(texts[0]);
    list.cc = TRecipientList::Split(texts[1]);
    list.bcc = TRecipientList::Split(texts[2]);
    CheckEntries(list.to);
    CheckEntries(list.cc);
    CheckEntries(list.bcc);
    std::size_t limit = list.to.size() + list.cc.size() + list.bcc.size();
    for (const auto& row : book) limit += listfile::SplitLines(row.SubItem(6)).size();

    list.ExpandBook(book);
    if (list.to.size() + list.cc.size() + list.bcc.size() > limit) std::abort();
    for (const auto* entries : {&list.to, &list.cc, &list.bcc}) {
        for (const auto& e : *entries) {
            for (const auto& row : book)
                if (text::EqualsNoCase(row.caption, e)) std::abort();
            (void)recipient::AddressOf(e);
            (void)recipient::NameOf(e);
        }
    }
    return 0;
}
