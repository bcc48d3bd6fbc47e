#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"
#include "common/ObserverList.h"

class THeaderItem;

// Told about every change of the message rows, so that a view can follow.
// The "about to" calls come before the rows change, the others after.
class IMessageRowsObserver {
public:
    virtual ~IMessageRowsObserver() = default;
    virtual void RowsAboutToBeReset() {}
    virtual void RowsReset() {}
    virtual void RowAboutToBeInserted(int /*position*/) {}
    virtual void RowInserted(int /*position*/) {}
    virtual void RowAboutToBeRemoved(int /*position*/) {}
    virtual void RowRemoved(int /*position*/) {}
    virtual void RowChanged(int /*position*/) {}
};

// One row of the message list: the caption (subject) and the sub-items
// Who, Date, "S", "A" and the handle as decimal text, plus the handle itself.
struct TMessageRow {
    TListRow cells;
    int handle = -1;

    static TMessageRow Of(const THeaderItem& item, int handle);
    friend bool operator==(const TMessageRow&, const TMessageRow&) = default;
};

// The rows of the mailbox being viewed, position 0 at the top. New rows go
// in at the top, so the rows are kept bottom-up internally: inserting at the
// top never moves the others, and a mailbox of 100,000 messages fills in
// linear time.
class TMessageRows {
public:
    enum Column { kWho = 0, kDate = 1, kStatus = 2, kAttach = 3, kHandle = 4 };

    // Every listener is told; each removes itself before it goes.
    void AddObserver(IMessageRowsObserver* observer) { observers_.Add(observer); }
    void RemoveObserver(IMessageRowsObserver* observer) { observers_.Remove(observer); }

    int Count() const { return static_cast<int>(rows_.size()); }
    const TMessageRow& At(int position) const { return rows_[Slot(position)]; }
    // The position of the row of a handle, or -1.
    int Find(int handle) const;

    void InsertTop(TMessageRow row);
    void Update(int position, TMessageRow row);
    void RemoveAt(int position);
    void Clear();
    // Replaces every row at once with rows given oldest first, as if each had
    // been inserted at the top in turn; the observer sees one reset.
    void ResetFromOldest(std::vector<TMessageRow> oldestFirst);
    // Puts the rows in a new order: order[i] is the current position of the
    // row that goes to position i, and must name every position once. The
    // observer sees one reset; false (and nothing changed) for a bad order.
    bool Arrange(const std::vector<int>& order);

private:
    std::size_t Slot(int position) const { return rows_.size() - 1 - static_cast<std::size_t>(position); }
    int Position(std::size_t slot) const { return static_cast<int>(rows_.size() - 1 - slot); }
    void Reindex();

    std::vector<TMessageRow> rows_;  // bottom row first
    std::vector<int> slotOfHandle_;  // -1 where a handle has no row
    TObserverList<IMessageRowsObserver> observers_;
};
