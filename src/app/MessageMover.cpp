#include "app/MessageMover.h"

#include <algorithm>

#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "store/MailboxOperations.h"

std::string TMessageMover::DeleteFailure() {
    return std::string(kAppTitle) + " could not delete this message." + "\r\n" +
           "Reason: DeleteStickit in MODULE \"CC\" failed.";
}

TMessageMover::TReport TMessageMover::MoveToMailbox(const std::vector<int>& handles, const std::string& target) {
    return Move(handles, target, TKind::Move);
}

TMessageMover::TReport TMessageMover::MoveToTrash(const std::vector<int>& handles) {
    return Move(handles, TMailboxName::kTrashCan, TKind::Trash);
}

void TMessageMover::DropRow(int handle) {
    const int row = store_.Rows().Find(handle);
    if (row >= 0) store_.Rows().RemoveAt(row);
}

bool TMessageMover::MoveOne(THeaderItem& item, const std::string& target, TKind kind) {
    const std::string source = item.Mailbox;
    if (kind == TKind::Move) {
        // A body that cannot be read leaves its record where it is, silently.
        return TMailboxOperations(store_).MoveRecord(item, target) && item.Mailbox != source;
    }
    // To the trash every failure is reported, an unreadable body too: the
    // user asked for the message to go.
    const int handle = store_.Headers().HandleOf(&item);
    if (!store_.Files().MoveMessage(item, target) || item.Mailbox == source) {
        store_.Prompt().Error(DeleteFailure());
        return false;
    }
    DropRow(handle);
    if (item.Has(mfNew)) {
        store_.RefreshMark(target);
        store_.RefreshMark(source);
    }
    store_.Headers().TellMoved(handle, source);
    return true;
}

TMessageMover::TReport TMessageMover::Move(const std::vector<int>& handles, const std::string& target, TKind kind) {
    TReport report;
    if (store_.Tree().IndexOf(target) < 0) {
        report.stayed = static_cast<int>(handles.size());
        return report;
    }
    std::vector<std::string> sources;
    for (const int handle : handles) {
        THeaderItem* item = store_.Headers().At(handle);
        if (!item) {
            DropRow(handle);
            continue;
        }
        const std::string source = item->Mailbox;
        if (source == target || !MoveOne(*item, target, kind)) {
            ++report.stayed;
            continue;
        }
        ++report.moved;
        if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
    }
    if (report.moved == 0) return report;
    TMailboxOperations operations(store_);
    for (const std::string& source : sources) {
        // Compaction rewrites the source's index without the moved records;
        // when it fails the index is saved on its own.
        if (!operations.CompactWithReport(source)) {
            report.compacted = false;
            store_.Files().SaveIndex(source);
        }
    }
    store_.Files().SaveIndex(target);
    operations.RefreshTrashIndicator();
    return report;
}
