#pragma once

#include "common/ObserverList.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/HeaderItem.h"

class IUserPrompt;

// Told when records leave the list: a window showing one closes, and for a
// new (unread) one the mailbox's bold mark, the new-message count and the
// tray tip follow.
class IHeadersObserver {
public:
    virtual ~IHeadersObserver() = default;
    // Before the record of handle is destroyed; it can still be read.
    virtual void RecordAboutToBeRemoved(int /*handle*/) {}
    // The record went from one mailbox to another (its Mailbox is the new one).
    virtual void RecordMoved(int /*handle*/, const std::string& /*from*/) {}
    // Its subject, flags or body changed where it is.
    virtual void RecordChanged(int /*handle*/) {}
    // lastNewOfMailbox: no other new record of that mailbox remains.
    virtual void NewRecordRemoved(const std::string& /*mailbox*/, bool /*lastNewOfMailbox*/) {}
};

// The one list of all header records of all mailboxes. A record's handle is
// its position, which never changes during a run: removing a record empties
// its slot instead of closing the gap. The list owns its records.
class THeaders {
public:
    explicit THeaders(IUserPrompt& prompt) : prompt_(prompt) {}
    THeaders(const THeaders&) = delete;
    THeaders& operator=(const THeaders&) = delete;

    // Every listener is told; each removes itself before it goes.
    void AddObserver(IHeadersObserver* observer) { observers_.Add(observer); }
    void RemoveObserver(IHeadersObserver* observer) { observers_.Remove(observer); }

    // Makes room for more records, so that loading a large index does not
    // grow the list step by step.
    void Reserve(std::size_t more);
    // Appends a record and returns its handle.
    int Add(std::unique_ptr<THeaderItem> item);
    // The record of a handle. A handle outside the list is reported as a
    // FILESYS error and yields a spare empty record that belongs to no
    // mailbox; an emptied slot yields null.
    THeaderItem* HandleToHeader(int handle);
    // The record of a handle, or null for an emptied slot or a handle outside
    // the list; nothing is reported.
    THeaderItem* At(int handle) const;
    // The handle of a record, or -1 when it is not in the list.
    int HandleOf(const THeaderItem* item) const;

    // Number of slots, emptied ones included.
    int Length() const { return static_cast<int>(slots_.size()); }
    // Records of a mailbox (names compare exactly).
    int Count(const std::string& mailbox) const;
    int CountNew(const std::string& mailbox) const;
    int CountNewAll() const;

    // Tell the observers about a change made to a record in place.
    void TellMoved(int handle, const std::string& from) {
        observers_.Notify([&](auto& o) { o.RecordMoved(handle, from); });
    }
    void TellChanged(int handle) {
        observers_.Notify([&](auto& o) { o.RecordChanged(handle); });
    }

    // Empties the slot of a handle and destroys its record.
    void Remove(int handle);

private:
    IUserPrompt& prompt_;
    TObserverList<IHeadersObserver> observers_;
    std::vector<std::unique_ptr<THeaderItem>> slots_;
    std::unordered_map<const THeaderItem*, int> handles_;
    THeaderItem spare_;
};
