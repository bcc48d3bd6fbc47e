#pragma once

#include <string>

#include "store/StoreObserver.h"

class THeaders;
class TMailboxTree;

// The bold marks of the mailbox tree: a mailbox is bold while it holds a new
// (unread) record. New mail brings its mailbox into view; the last new
// record read, moved or destroyed takes the mark away.
class TMailboxMarks : public IStoreObserver {
public:
    TMailboxMarks(const THeaders& headers, TMailboxTree& tree) : headers_(headers), tree_(tree) {}

    // Sets a node's weight and brings it into view.
    void Mark(int node, bool bold);
    // Sets the weight of a mailbox's node from its new records.
    void Refresh(const std::string& name);

    void StoreChanged(const TStoreEvent& event) override;

private:
    const THeaders& headers_;
    TMailboxTree& tree_;
};
