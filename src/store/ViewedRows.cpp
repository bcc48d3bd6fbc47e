#include "store/ViewedRows.h"

#include <algorithm>

#include "common/BusyFlag.h"
#include "store/Headers.h"
#include "store/ShowProgress.h"

void TViewedRows::Show(const std::string& name, IShowProgress* progress) {
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return;
    rows_.Clear();
    if (progress) {
        progress->Begin(headers_.Length());
        progress->Status("Loading messages for mailbox \"" + name + "\". Please wait...");
    }
    const int total = headers_.Count(name);
    const int length = headers_.Length();
    const int stride = std::max(1, length / 100);
    std::vector<TMessageRow> rows;
    rows.reserve(static_cast<std::size_t>(total));
    for (int h = 0; h < length && static_cast<int>(rows.size()) < total; ++h) {
        if (progress && h % stride == 0) progress->Step(h);
        const THeaderItem* item = headers_.At(h);
        if (item && item->Mailbox == name) rows.push_back(TMessageRow::Of(*item, h));
    }
    rows_.ResetFromOldest(std::move(rows));
    name_ = name;
    found_ = false;
    if (progress) {
        progress->End();
        progress->Status("Loaded " + std::to_string(total) + " message(s) for mailbox \"" + name + "\".");
    }
}

void TViewedRows::Clear() {
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return;
    name_.clear();
    found_ = false;
    rows_.Clear();
}

void TViewedRows::ShowFound(const std::vector<int>& handles) {
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return;
    std::vector<TMessageRow> rows;
    rows.reserve(handles.size());
    for (auto h = handles.rbegin(); h != handles.rend(); ++h)
        if (const THeaderItem* item = headers_.At(*h)) rows.push_back(TMessageRow::Of(*item, *h));
    name_.clear();
    found_ = true;
    rows_.ResetFromOldest(std::move(rows));
}

int TViewedRows::Find(int handle, const std::string& mailbox) {
    if (!found_ && (name_.empty() || mailbox != name_)) return -1;
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return -1;
    return rows_.Find(handle);
}

void TViewedRows::Put(const TStoreEvent& event) {
    if (name_.empty() || event.mailbox != name_ || !event.record) return;
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return;
    const int position = rows_.Find(event.handle);
    if (position >= 0)
        rows_.Update(position, TMessageRow::Of(*event.record, event.handle));
    else
        rows_.InsertTop(TMessageRow::Of(*event.record, event.handle));
}

void TViewedRows::Drop(int handle) {
    TBusyLock lock(listFill_, pump_);
    if (!lock.Held()) return;
    const int position = rows_.Find(handle);
    if (position >= 0) rows_.RemoveAt(position);
}

void TViewedRows::StoreChanged(const TStoreEvent& event) {
    if (found_) {
        // Found records keep their rows wherever they go; new ones wait for
        // the next search.
        if (event.change == TStoreChange::RecordRemoved) {
            Drop(event.handle);
        } else if (event.record && (event.change == TStoreChange::RecordChanged ||
                                    event.change == TStoreChange::RecordMoved)) {
            TBusyLock lock(listFill_, pump_);
            const int position = lock.Held() ? rows_.Find(event.handle) : -1;
            if (position >= 0) rows_.Update(position, TMessageRow::Of(*event.record, event.handle));
        }
        return;
    }
    switch (event.change) {
        case TStoreChange::RecordAdded:
        case TStoreChange::RecordChanged:
            Put(event);
            break;
        case TStoreChange::RecordMoved:
            if (!name_.empty() && event.from == name_) Drop(event.handle);
            Put(event);
            break;
        case TStoreChange::RecordRemoved:
            if (!name_.empty() && event.mailbox == name_) Drop(event.handle);
            break;
        case TStoreChange::MailboxRenamed:
            if (!name_.empty() && event.from == name_) name_ = event.mailbox;
            break;
        case TStoreChange::MailboxDeleted:
            if (event.mailbox == name_) Clear();
            break;
        default:
            break;
    }
}
