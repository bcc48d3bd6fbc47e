#include "store/NewMailTip.h"

#include "store/HeaderItem.h"

std::string TNewMailTip::TipFor(int count) {
    if (count < 1) return "You have no new mail.";
    if (count == 1) return "You have one new message.";
    return "You have " + std::to_string(count) + " new messages.";
}

std::string TNewMailTip::IconFor(int count) { return count < 1 ? "MAINICON" : "NEWMAIL"; }

int TNewMailTip::AddListener(Listener listener) {
    listeners_.emplace_back(++nextId_, std::move(listener));
    return nextId_;
}

void TNewMailTip::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void TNewMailTip::Refresh() const {
    const std::string tip = Tip(), icon = Icon();
    // A copy: a listener may add or remove listeners while it is told.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        if (listener) listener(tip, icon);
}

void TNewMailTip::StoreChanged(const TStoreEvent& event) {
    const bool isNew = event.record && event.record->Has(mfNew);
    const int before = count_;
    switch (event.change) {
        case TStoreChange::RecordAdded:
            if (isNew) Raise();
            break;
        case TStoreChange::RecordChanged:
            if (!(event.fields & rfFlags)) break;
            if ((event.flagsBefore & mfNew) && !isNew) Lower();
            if (!(event.flagsBefore & mfNew) && isNew) Raise();
            break;
        case TStoreChange::RecordRemoved:
            if (isNew) Lower();
            break;
        default:
            break;
    }
    if (count_ != before) changed_ = true;
}

void TNewMailTip::ChangesDone() {
    if (!changed_) return;
    changed_ = false;
    Refresh();
}
