#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"

class IEventPump;
class IUserPrompt;
class TBusyFlag;

// The rows of the "Message Filters" page: the filter name and twenty
// sub-items each, kept in name order (which is also the order the filters
// are applied in) and stored in "Internet.flt".
class TFilterList {
public:
    static constexpr const char* kNewName = "New Filter";

    const std::vector<TListRow>& Rows() const { return rows_; }
    int IndexOf(const std::string& name) const;  // without regard to case; -1 none

    // Replaces the list with the file's rows; a missing file gives none.
    void Load(const std::string& path);
    // Rewrites the file through the list-file writer; a failure is reported.
    bool Save(const std::string& path, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const;

    // A row "New Filter" (or "New Filter (n)") with twenty empty sub-items;
    // its index.
    int AddNew();
    // Replaces a row's sub-items (the dialog's apply); keeps the name.
    void SetSubItems(int index, std::vector<std::string> subItems);
    // The row's new name; a name another filter has is refused with the
    // message box, and the old name stays. The row's new index, or -1.
    int Rename(int index, const std::string& name, IUserPrompt& prompt);
    void Remove(int index);

private:
    int Insert(TListRow row);
    std::vector<TListRow> rows_;
};
