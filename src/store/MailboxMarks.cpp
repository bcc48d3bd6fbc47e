#include "store/MailboxMarks.h"

#include "store/Headers.h"
#include "store/MailboxTree.h"

void TMailboxMarks::Mark(int node, bool bold) {
    if (node < 0 || node >= tree_.Count()) return;
    tree_.SetBold(node, bold);
    tree_.Reveal(node);
}

void TMailboxMarks::Refresh(const std::string& name) {
    const int node = tree_.IndexOf(name);
    if (node >= 0) Mark(node, headers_.CountNew(name) > 0);
}

void TMailboxMarks::StoreChanged(const TStoreEvent& event) {
    const bool isNew = event.record && event.record->Has(mfNew);
    switch (event.change) {
        case TStoreChange::RecordAdded:
            if (isNew) Mark(tree_.IndexOf(event.mailbox), true);
            break;
        case TStoreChange::RecordChanged:
            if ((event.fields & rfFlags) && ((event.flagsBefore & mfNew) != 0) != isNew) Refresh(event.mailbox);
            break;
        case TStoreChange::RecordMoved:
            if (isNew) {
                Refresh(event.mailbox);
                Refresh(event.from);
            }
            break;
        case TStoreChange::RecordRemoved:
            // Destroying does not bring the mailbox into view.
            if (isNew && headers_.CountNew(event.mailbox) == 0) {
                const int node = tree_.IndexOf(event.mailbox);
                if (node >= 0) tree_.SetBold(node, false);
            }
            break;
        case TStoreChange::MailboxLoaded:
            if (headers_.CountNew(event.mailbox) > 0) Mark(tree_.IndexOf(event.mailbox), true);
            break;
        default:
            break;
    }
}
