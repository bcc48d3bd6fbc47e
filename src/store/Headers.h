#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/HeaderItem.h"

class IUserPrompt;

// The one list of all header records of all mailboxes. A record's handle is
// its position, which never changes during a run: removing a record empties
// its slot instead of closing the gap. The list owns its records.
//
// Everyone reads the records; only the store changes them, through its
// record operations, so that every change is announced to its listeners.
class THeaders {
public:
    explicit THeaders(IUserPrompt& prompt) : prompt_(prompt) {}
    THeaders(const THeaders&) = delete;
    THeaders& operator=(const THeaders&) = delete;

    // The record of a handle. A handle outside the list is reported as a
    // FILESYS error and yields a spare empty record that belongs to no
    // mailbox; an emptied slot yields null.
    const THeaderItem* HandleToHeader(int handle) const;
    // The record of a handle, or null for an emptied slot or a handle outside
    // the list; nothing is reported.
    const THeaderItem* At(int handle) const { return Slot(handle); }
    // The handle of a record, or -1 when it is not in the list.
    int HandleOf(const THeaderItem* item) const;

    // Number of slots, emptied ones included.
    int Length() const { return static_cast<int>(slots_.size()); }
    // Records of a mailbox (names compare exactly).
    int Count(const std::string& mailbox) const;
    int CountNew(const std::string& mailbox) const;
    int CountNewAll() const;

private:
    friend class TMailStore;
    friend class TMailboxFiles;
    // The file layer's own tests, which set up damaged records that no
    // operation makes.
    friend struct TRawStoreAccess;

    // Makes room for more records, so that loading a large index does not
    // grow the list step by step.
    void Reserve(std::size_t more);
    // Appends a record and returns its handle.
    int Add(std::unique_ptr<THeaderItem> item);
    THeaderItem* Slot(int handle) const;
    // Empties the slot of a handle and hands its record over.
    std::unique_ptr<THeaderItem> Take(int handle);

    IUserPrompt& prompt_;
    std::vector<std::unique_ptr<THeaderItem>> slots_;
    std::unordered_map<const THeaderItem*, int> handles_;
    mutable THeaderItem spare_;  // what a bad handle yields
};
