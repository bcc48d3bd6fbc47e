#include "book/FilterList.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "book/FilterFields.h"
#include "common/AppTitle.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/UserPrompt.h"

namespace {

// Names sort as text, without regard to case; equal ones keep their order.
bool NameLess(const TListRow& a, const TListRow& b) {
    return text::ToUpperAscii(a.caption) < text::ToUpperAscii(b.caption);
}

}  // namespace

int TFilterList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (text::EqualsNoCase(rows_[i].caption, name)) return static_cast<int>(i);
    return -1;
}

void TFilterList::Load(const std::string& path) {
    rows_ = listfile::Read(path);
    for (auto& r : rows_) r.subItems.resize(filterfield::Count);
    std::stable_sort(rows_.begin(), rows_.end(), NameLess);
}

bool TFilterList::Save(const std::string& path, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const {
    if (listfile::Write(path, rows_, listFill, pump)) return true;
    const int error = errno;
    prompt.Error(std::string(kAppTitle) + " could not save the message filters.\nReason: " + std::strerror(error) +
                 " (" + path + ")");
    return false;
}

int TFilterList::Insert(TListRow row) {
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row, NameLess);
    const auto index = at - rows_.begin();
    rows_.insert(at, std::move(row));
    return static_cast<int>(index);
}

int TFilterList::AddNew() {
    std::vector<std::string> names;
    for (const auto& r : rows_) names.push_back(r.caption);
    TListRow row;
    row.caption = uniquename::Make(kNewName, names);
    row.subItems.resize(filterfield::Count);
    return Insert(std::move(row));
}

void TFilterList::SetSubItems(int index, std::vector<std::string> subItems) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    subItems.resize(filterfield::Count);
    rows_[static_cast<std::size_t>(index)].subItems = std::move(subItems);
}

int TFilterList::Rename(int index, const std::string& name, IUserPrompt& prompt) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return -1;
    const auto& old = rows_[static_cast<std::size_t>(index)].caption;
    const int other = IndexOf(name);
    if (!text::EqualsNoCase(old, name) && other >= 0 && other != index) {
        prompt.Error(std::string(kAppTitle) +
                     " can not rename this filter.\n\rReason: Alias (Name) already in list\n\rFix: Choose another Alias.");
        return -1;
    }
    TListRow row = std::move(rows_[static_cast<std::size_t>(index)]);
    rows_.erase(rows_.begin() + index);
    row.caption = name;
    return Insert(std::move(row));
}

void TFilterList::Remove(int index) {
    if (index >= 0 && index < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + index);
}
