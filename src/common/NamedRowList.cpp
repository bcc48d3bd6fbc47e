#include "common/NamedRowList.h"

#include <algorithm>
#include <cerrno>

#include "common/AppTitle.h"
#include "common/FieldText.h"
#include "common/ListName.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/UserPrompt.h"
#include "common/Windows1252.h"

namespace {

// Names compare without regard to case: ASCII letters by their capitals, as
// the lists always sorted, every other letter by its folded form.
int CompareNames(const std::string& a, const std::string& b) {
    const std::string x = fieldtext::Decode(a), y = fieldtext::Decode(b);
    std::size_t i = 0, j = 0;
    const auto next = [](const std::string& s, std::size_t& pos) -> char32_t {
        const auto cp = cp1252::DecodeUtf8(s, pos).value_or(U'?');
        if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 'a' + 'A' : cp;
        return fieldtext::FoldChar(cp);
    };
    while (i < x.size() && j < y.size()) {
        const char32_t cx = next(x, i), cy = next(y, j);
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    if (i >= x.size() && j >= y.size()) return 0;
    return i >= x.size() ? -1 : 1;
}

// Names sort as text without regard to case; equal ones keep their order.
bool NameLess(const TListRow& a, const TListRow& b) { return CompareNames(a.caption, b.caption) < 0; }

}  // namespace

std::vector<std::string> TNamedRowList::Names() const {
    std::vector<std::string> names;
    names.reserve(rows_.size());
    for (const auto& r : rows_) names.push_back(r.caption);
    return names;
}

int TNamedRowList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (CompareNames(rows_[i].caption, name) == 0) return static_cast<int>(i);
    return -1;
}

void TNamedRowList::Load(const std::string& path) {
    rows_ = listfile::Read(path);
    for (auto& r : rows_) r.subItems.resize(std::max(r.subItems.size(), kind_.subItems));
    if (kind_.sorted) std::stable_sort(rows_.begin(), rows_.end(), NameLess);
}

bool TNamedRowList::Save(const std::string& path, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const {
    errno = 0;
    if (listfile::Write(path, rows_, listFill, pump)) return true;
    // The writer has released the flag by now: the box may wait on the user.
    // A write refused before it began (the flag already held here) set no errno.
    prompt.Error(listname::SaveFailureText(kind_.listName, path, errno ? errno : EBUSY));
    return false;
}

int TNamedRowList::Insert(TListRow row) {
    if (row.subItems.size() < kind_.subItems) row.subItems.resize(kind_.subItems);
    if (!kind_.sorted) {
        rows_.push_back(std::move(row));
        return Count() - 1;
    }
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row, NameLess);
    const auto index = at - rows_.begin();
    rows_.insert(at, std::move(row));
    return static_cast<int>(index);
}

int TNamedRowList::AddNew() {
    TListRow row;
    row.caption = uniquename::Make(kind_.newName, Names());
    return Insert(std::move(row));
}

int TNamedRowList::Add(TListRow row) { return Insert(std::move(row)); }

void TNamedRowList::SetSubItems(int index, std::vector<std::string> subItems) {
    if (index < 0 || index >= Count()) return;
    subItems.resize(std::max(subItems.size(), kind_.subItems));
    rows_[static_cast<std::size_t>(index)].subItems = std::move(subItems);
}

void TNamedRowList::Restore(int index, TListRow row) {
    if (index < 0 || index >= Count()) return;
    rows_[static_cast<std::size_t>(index)] = std::move(row);
}

bool TNamedRowList::CanRename(int index, const std::string& name, IUserPrompt& prompt) const {
    if (index < 0 || index >= Count()) return false;
    const auto& old = rows_[static_cast<std::size_t>(index)].caption;
    if (old == name) return false;
    const int other = IndexOf(name);
    if (!text::EqualsNoCase(old, name) && other >= 0 && other != index) {
        prompt.Error(std::string(kAppTitle) + " can not rename this " + kind_.what + "." + "\n\r" +
                     "Reason: Alias (Name) already in list" + "\n\r" + "Fix: Choose another Alias.");
        return false;
    }
    return listname::CheckStorable(name, kind_.what, prompt);
}

int TNamedRowList::RenamedIndex(int index, const std::string& name) const {
    if (!kind_.sorted || index < 0 || index >= Count()) return index;
    // The other rows the renamed one would follow, as Insert places it.
    const TListRow probe{name, {}};
    int before = 0;
    for (int i = 0; i < Count(); ++i)
        if (i != index && !NameLess(probe, rows_[static_cast<std::size_t>(i)])) ++before;
    return before;
}

int TNamedRowList::Rename(int index, const std::string& name, IUserPrompt& prompt) {
    if (!CanRename(index, name, prompt)) return -1;
    if (!kind_.sorted) {
        rows_[static_cast<std::size_t>(index)].caption = name;
        return index;
    }
    TListRow row = std::move(rows_[static_cast<std::size_t>(index)]);
    rows_.erase(rows_.begin() + index);
    row.caption = name;
    return Insert(std::move(row));
}

void TNamedRowList::Remove(int index) {
    if (index >= 0 && index < Count()) rows_.erase(rows_.begin() + index);
}

void TNamedRowList::SortByName() { std::stable_sort(rows_.begin(), rows_.end(), NameLess); }
