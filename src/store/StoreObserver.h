#pragma once

#include "store/StoreEvent.h"

// A listener of the store: the rows on view, the bold marks of the tree,
// the new-message count, the open message windows, an index. Every change
// of the store is announced, on the thread that owns the records, after it
// was made; an operation that makes several changes tells them one by one
// and ends with ChangesDone, where a listener may do what is costly once.
class IStoreObserver {
public:
    virtual ~IStoreObserver() = default;
    virtual void StoreChanged(const TStoreEvent& event) = 0;
    virtual void ChangesDone() {}
};
