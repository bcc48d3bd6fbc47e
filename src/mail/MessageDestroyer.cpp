#include "mail/MessageDestroyer.h"

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
        if (std::find(touched.begin(), touched.end(), item->Mailbox) == touched.end()) touched.push_back(item->Mailbox);
        store_.DestroyRecord(handle);
        ++destroyed;
    }
    // The bodies stay in the message file until its next compaction; the
    // index no longer names them.
    for (const std::string& name : touched) store_.SaveIndex(name);
    if (destroyed > 0) TMailboxOperations(store_).RefreshTrashIndicator();
    return destroyed;
}

int TMessageDestroyer::EmptyTrash(bool* compacted) {
    const THeaders& headers = store_.Headers();
    int destroyed = 0;
    for (int h = 0; h < headers.Length(); ++h) {
        const THeaderItem* item = headers.At(h);
        if (item && item->Mailbox == TMailboxName::kTrashCan) {
            store_.DestroyRecord(h);
            ++destroyed;
        }
    }
    TMailboxOperations operations(store_);
    bool done = true;
    if (destroyed > 0 && !operations.CompactWithReport(TMailboxName::kTrashCan)) {
        done = false;
        store_.SaveIndex(TMailboxName::kTrashCan);
    }
    if (compacted) *compacted = done;
    operations.RefreshTrashIndicator();
    return destroyed;
}
