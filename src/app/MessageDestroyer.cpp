#include "app/MessageDestroyer.h"

#include <algorithm>

#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "store/MailboxOperations.h"

std::string TMessageDestroyer::DestroyQuestion(const std::string& subject) {
    return "Are you sure you want to destroy the message \"" + subject + "\"?" + "\r\n" +
           "Click yes to delete this message.";
}

std::string TMessageDestroyer::EmptyTrashQuestion(int count) {
    return "Are you sure you want to empty the Trash Can?\rIf you choose yes you will destroy all " +
           std::to_string(count) + " trashed Message(s) forever.";
}

void TMessageDestroyer::Remove(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return;
    if (store_.Viewed() == item->Mailbox) {
        const int row = store_.Rows().Find(handle);
        if (row >= 0) store_.Rows().RemoveAt(row);
    }
    store_.Headers().Remove(handle);
}

int TMessageDestroyer::Destroy(const std::vector<int>& handles) {
    std::vector<std::string> touched;
    int destroyed = 0;
    for (const int handle : handles) {
        const THeaderItem* item = store_.Headers().At(handle);
        if (!item) {
            const int row = store_.Rows().Find(handle);
            if (row >= 0) store_.Rows().RemoveAt(row);
            continue;
        }
        if (std::find(touched.begin(), touched.end(), item->Mailbox) == touched.end())
            touched.push_back(item->Mailbox);
        Remove(handle);
        ++destroyed;
    }
    // The bodies stay in the message file until its next compaction; the
    // index no longer names them.
    for (const std::string& name : touched) {
        store_.Files().SaveIndex(name);
        store_.RefreshMark(name);
    }
    if (destroyed > 0) TMailboxOperations(store_).RefreshTrashIndicator();
    return destroyed;
}

int TMessageDestroyer::EmptyTrash(bool* compacted) {
    THeaders& headers = store_.Headers();
    int destroyed = 0;
    for (int h = 0; h < headers.Length(); ++h) {
        const THeaderItem* item = headers.At(h);
        if (item && item->Mailbox == TMailboxName::kTrashCan) {
            Remove(h);
            ++destroyed;
        }
    }
    TMailboxOperations operations(store_);
    bool done = true;
    if (destroyed > 0 && !operations.CompactWithReport(TMailboxName::kTrashCan)) {
        done = false;
        store_.Files().SaveIndex(TMailboxName::kTrashCan);
    }
    if (compacted) *compacted = done;
    store_.RefreshMark(TMailboxName::kTrashCan);
    operations.RefreshTrashIndicator();
    return destroyed;
}
