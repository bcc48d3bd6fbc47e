#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"

class IEventPump;
class IUserPrompt;
class TBusyFlag;

// The rows of a list page whose first column is a name unique without regard
// to case (members, signatures, filters), with the rules they share: new rows
// named "Base", "Base (2)", ...; renames refused onto another row's name;
// the list file rewritten whole. Sorted lists keep their rows in name order.
class TNamedRowList {
public:
    struct TKind {
        const char* newName;   // "New Filter"
        const char* what;      // "filter", as the boxes name a row
        const char* listName;  // "message filters", as the save failure names the list
        std::size_t subItems;  // sub-items every row has
        bool sorted;           // kept in name order
    };

    explicit TNamedRowList(TKind kind) : kind_(kind) {}
    virtual ~TNamedRowList() = default;

    const TKind& Kind() const { return kind_; }
    const std::vector<TListRow>& Rows() const { return rows_; }
    const TListRow& Row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(rows_.size()); }
    std::vector<std::string> Names() const;
    int IndexOf(const std::string& name) const;  // without regard to case; -1 none

    // Replaces the list with the file's rows; a missing file gives none.
    virtual void Load(const std::string& path);
    // Rewrites the file through the list-file writer. A failure is reported
    // with a box once the list-fill flag is free again.
    bool Save(const std::string& path, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const;

    // A row with the next free new name and empty sub-items; its index.
    int AddNew();
    // Adds a row as it is (an import); its index. Missing sub-items are empty.
    int Add(TListRow row);
    // Replaces a row's sub-items (the dialog's apply); keeps the name.
    void SetSubItems(int index, std::vector<std::string> subItems);
    // Puts back a row kept before a dialog opened; keeps the position.
    void Restore(int index, TListRow row);
    // The row's new name. A name another row has, or one the file cannot
    // keep, is refused with a box and the old name stays. The row's new
    // index, or -1 when nothing changed.
    int Rename(int index, const std::string& name, IUserPrompt& prompt);
    // Where Rename would put the row (sorted lists keep name order).
    int RenamedIndex(int index, const std::string& name) const;
    // The checks of Rename alone (with their boxes), changing nothing.
    bool CanRename(int index, const std::string& name, IUserPrompt& prompt) const;
    void Remove(int index);
    // Puts the rows into name order (a header click on an unsorted list).
    void SortByName();

protected:
    std::vector<TListRow>& MutableRows() { return rows_; }

private:
    int Insert(TListRow row);
    TKind kind_;
    std::vector<TListRow> rows_;
};
