// An address book and three recipient texts: splitting and expansion end,
// grow by no more than the book's addresses once per list, leave no entry
// that still names a member of the book, and lose no recipient: a member
// named in a list brings its addresses into the list its kind sends them
// to, also when it is named in another list as well. Every entry then makes
// a header line that folds within 998 characters.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/ListFile.h"
#include "common/TextUtil.h"
#include "transport/HeaderFold.h"
#include "transport/QuotedPrintable.h"
#include "transport/RecipientList.h"
#include "transport/RecipientParts.h"

namespace {

// Entries have no comma, no blank at either end and are never empty.
void CheckEntries(const std::vector<std::string>& entries) {
    for (const auto& e : entries)
        if (e.empty() || e.find(',') != std::string::npos || e.front() == ' ' || e.back() == ' ') std::abort();
}

const TListRow* FindMember(const std::vector<TListRow>& book, const std::string& name) {
    for (const auto& row : book)
        if (text::EqualsNoCase(row.caption, name)) return &row;
    return nullptr;
}

bool Holds(const std::vector<std::string>& list, const std::string& entry) {
    for (const auto& e : list)
        if (e == entry) return true;
    return false;
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
    for (const auto& row : book) limit += 3 * listfile::SplitLines(row.SubItem(6)).size();
    const std::array<std::vector<std::string>, 3> before{list.to, list.cc, list.bcc};

    list.ExpandBook(book);
    if (list.to.size() + list.cc.size() + list.bcc.size() > limit) std::abort();

    // Where each member named at the start sends its addresses (those that
    // name no member themselves, which are replaced in their turn).
    const std::vector<std::string>* lists[3] = {&list.to, &list.cc, &list.bcc};
    for (int which = 0; which < 3; ++which) {
        for (const auto& entry : before[which]) {
            const TListRow* member = FindMember(book, entry);
            if (!member) continue;
            std::vector<std::string> addresses;
            for (auto& a : listfile::SplitLines(member->SubItem(6)))
                if (!a.empty()) addresses.push_back(std::move(a));
            const std::string& kind = member->SubItem(4);
            int target = which;
            if (which == 0 && kind == "1")
                target = 1;
            else if (which == 0 && kind == "2")
                target = 2;
            else if (which == 0 && !addresses.empty())
                addresses.resize(1);
            for (const auto& a : addresses)
                if (!FindMember(book, a) && !Holds(*lists[target], a)) std::abort();
        }
    }
    for (const auto* entries : {&list.to, &list.cc, &list.bcc}) {
        for (const auto& e : *entries) {
            for (const auto& row : book)
                if (text::EqualsNoCase(row.caption, e)) std::abort();
            const std::string name = recipient::NameOf(e);
            (void)recipient::AddressOf(e);
            if (qp::NeedsEncoding(name)) continue;  // as encoded words: the encoder target checks those
            for (const auto& line : headerfold::Fold("TO:       " + recipient::Phrase(name) + " <x@y>,"))
                if (line.size() > headerfold::kHardLimit) std::abort();
        }
    }
    return 0;
}
