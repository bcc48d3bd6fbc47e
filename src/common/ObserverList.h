#pragma once

#include <algorithm>
#include <vector>

// The listeners of one kind of change, told in the order they were added.
// A listener may remove itself (or another) while it is being told: the
// removed one is skipped, the others are still told once.
template <class TObserver>
class TObserverList {
public:
    void Add(TObserver* observer) {
        if (observer && std::find(list_.begin(), list_.end(), observer) == list_.end()) list_.push_back(observer);
    }
    void Remove(TObserver* observer) {
        const auto at = std::find(list_.begin(), list_.end(), observer);
        if (at == list_.end()) return;
        if (depth_ > 0) {
            *at = nullptr;  // compacted once the notification is over
            dirty_ = true;
        } else {
            list_.erase(at);
        }
    }
    bool Empty() const {
        return std::none_of(list_.begin(), list_.end(), [](const TObserver* o) { return o != nullptr; });
    }

    template <class TCall>
    void Notify(TCall&& call) {
        if (list_.empty()) return;
        ++depth_;
        // Listeners added while telling are told from the next change on.
        const std::size_t count = list_.size();
        for (std::size_t i = 0; i < count; ++i)
            if (TObserver* o = list_[i]) call(*o);
        if (--depth_ == 0 && dirty_) {
            list_.erase(std::remove(list_.begin(), list_.end(), nullptr), list_.end());
            dirty_ = false;
        }
    }

private:
    std::vector<TObserver*> list_;
    int depth_ = 0;
    bool dirty_ = false;
};
