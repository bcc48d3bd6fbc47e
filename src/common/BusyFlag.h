#pragma once

#include <atomic>

class IEventPump;

// One of the store's busy flags. Taking it waits while another operation
// holds it: on the pump's thread the user interface keeps running, on any
// other thread the waiter sleeps briefly. The flag is not re-entrant: an
// operation that already holds it must not take it again.
class TBusyFlag {
public:
    void Take(IEventPump& pump);
    bool TryTake() { return !flag_.test_and_set(std::memory_order_acquire); }
    void Release() { flag_.clear(std::memory_order_release); }
    bool IsHeld() const { return flag_.test(std::memory_order_acquire); }

private:
    std::atomic_flag flag_;
};

// Holds a flag for a scope, so every path out of an operation releases it.
class TBusyLock {
public:
    TBusyLock(TBusyFlag& flag, IEventPump& pump) : flag_(flag) { flag_.Take(pump); }
    ~TBusyLock() { flag_.Release(); }
    TBusyLock(const TBusyLock&) = delete;
    TBusyLock& operator=(const TBusyLock&) = delete;

private:
    TBusyFlag& flag_;
};

// The four flags that keep the message list, the index files and the message
// files from being changed by two operations at once. When an operation takes
// two, it takes the row-update flag before the list-fill flag, and the
// message-file flag before the index-save flag.
struct TBusyFlags {
    TBusyFlag listFill;
    TBusyFlag rowUpdate;
    TBusyFlag messageFile;
    TBusyFlag indexSave;
};
