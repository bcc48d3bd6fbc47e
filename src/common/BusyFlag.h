#pragma once

#include <atomic>
#include <thread>

class IEventPump;

// One of the store's busy flags. Taking it waits while another thread holds
// it: on the pump's thread the user interface keeps running, on any other
// thread (or while the flag is held by no thread in particular) the waiter
// sleeps briefly. The flag is not re-entrant: a thread that takes a flag it already
// holds would wait for itself for ever, so that is refused at once (and
// stops a debug build, being a programming error).
class TBusyFlag {
public:
    // False when the calling thread already holds the flag.
    [[nodiscard]] bool Take(IEventPump& pump);
    bool TryTake() {
        if (flag_.test_and_set(std::memory_order_acquire)) return false;
        owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
        return true;
    }
    void Release() {
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        flag_.clear(std::memory_order_release);
    }
    // Keeps the flag taken but by no thread in particular, for work that
    // another thread finishes and releases: a waiter on the pump's thread
    // then pumps instead of being refused.
    void Disown() { owner_.store(std::thread::id(), std::memory_order_relaxed); }
    bool IsHeld() const { return flag_.test(std::memory_order_acquire); }
    bool Disowned() const { return IsHeld() && owner_.load(std::memory_order_relaxed) == std::thread::id(); }
    bool HeldByThisThread() const {
        return IsHeld() && owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

private:
    std::atomic_flag flag_;
    std::atomic<std::thread::id> owner_{};
};

// Holds a flag for a scope, so every path out of an operation releases it.
// An operation checks Held(): a refused take leaves nothing to release.
class TBusyLock {
public:
    TBusyLock(TBusyFlag& flag, IEventPump& pump) : flag_(flag), held_(flag.Take(pump)) {}
    ~TBusyLock() { Unlock(); }
    TBusyLock(const TBusyLock&) = delete;
    TBusyLock& operator=(const TBusyLock&) = delete;

    bool Held() const { return held_; }
    // Releases before the end of the scope, e.g. to show a box.
    void Unlock() {
        if (held_) flag_.Release();
        held_ = false;
    }
    // Leaves the flag taken when the scope ends, for whoever releases it
    // later (on any thread).
    void Disown() {
        if (held_) flag_.Disown();
        held_ = false;
    }

private:
    TBusyFlag& flag_;
    bool held_;
};

// The four flags that keep the message list, the index files and the message
// files from being changed by two operations at once. When an operation takes
// two, it takes the row-update flag before the list-fill flag, and the
// message-file flag before the index-save flag. No box is shown while one is
// held: a box runs a nested event loop, in which a command or a posted batch
// could wait for the flag for ever.
struct TBusyFlags {
    TBusyFlag listFill;
    TBusyFlag rowUpdate;
    TBusyFlag messageFile;
    TBusyFlag indexSave;

    bool AnyHeld() const {
        return listFill.IsHeld() || rowUpdate.IsHeld() || messageFile.IsHeld() || indexSave.IsHeld();
    }
};
