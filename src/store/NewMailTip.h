#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "store/StoreObserver.h"

// The global new-message count and what the tray shows for it. It follows
// the store: a new record added counts, one read, moved away unread or
// destroyed unread no more; the listeners hear of it once per operation.
class TNewMailTip : public IStoreObserver {
public:
    // Called after every refresh with the tip text and the icon resource name.
    using Listener = std::function<void(const std::string& tip, const std::string& icon)>;

    // Adds a listener (the tray icon, the status line, ...); the number
    // that removes it again.
    int AddListener(Listener listener);
    void RemoveListener(int id);

    int Count() const { return count_; }
    void SetCount(int count) { count_ = count; }
    void Raise() { ++count_; }
    void Lower() {
        if (count_ > 0) --count_;
    }

    // "You have no new mail.", "You have one new message." or
    // "You have N new messages.".
    static std::string TipFor(int count);
    // "MAINICON" without new mail, "NEWMAIL" with.
    static std::string IconFor(int count);
    std::string Tip() const { return TipFor(count_); }
    std::string Icon() const { return IconFor(count_); }

    // Tells every listener the current tip and icon.
    void Refresh() const;

    void StoreChanged(const TStoreEvent& event) override;
    void ChangesDone() override;

private:
    bool changed_ = false;
    int count_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 0;
};
