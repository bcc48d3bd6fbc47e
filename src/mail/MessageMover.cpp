#include "mail/MessageMover.h"

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

bool TMessageMover::MoveOne(int handle, const std::string& target, TKind kind) {
    const std::string subject = store_.Headers().At(handle)->Subject.str();
    switch (store_.MoveRecord(handle, target)) {
        case TMoveResult::Moved:
            return true;
        case TMoveResult::Unreadable:
            // A body that cannot be read leaves its record where it is; silently,
            // unless the user asked for the message to go to the trash.
            if (kind == TKind::Trash) store_.Prompt().Error(DeleteFailure());
            return false;
        case TMoveResult::Failed:
            store_.Prompt().Error(kind == TKind::Trash ? DeleteFailure() : TMailboxOperations::MoveFailure(subject));
            return false;
    }
    return false;
}

TMessageMover::TReport TMessageMover::Move(const std::vector<int>& handles, const std::string& target, TKind kind) {
    TReport report;
    if (store_.Tree().IndexOf(target) < 0) {
        report.stayed = static_cast<int>(handles.size());
        return report;
    }
    std::vector<std::string> sources;
    for (const int handle : handles) {
        const THeaderItem* item = store_.Headers().At(handle);
        if (!item) {
            DropRow(handle);
            continue;
        }
        const std::string source = item->Mailbox;
        if (source == target || !MoveOne(handle, target, kind)) {
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
            store_.SaveIndex(source);
        }
    }
    store_.SaveIndex(target);
    operations.RefreshTrashIndicator();
    return report;
}
