#include "store/MessageRows.h"

#include "store/HeaderItem.h"

TMessageRow TMessageRow::Of(const THeaderItem& item, int handle) {
    TMessageRow row;
    row.handle = handle;
    row.cells.caption = item.Subject.str();
    row.cells.subItems = {item.Who.str(), item.Date.str(), item.StatusText(), item.AttachmentText(),
                          std::to_string(handle)};
    return row;
}

int TMessageRows::Find(int handle) const {
    if (handle < 0 || static_cast<std::size_t>(handle) >= slotOfHandle_.size()) return -1;
    const int slot = slotOfHandle_[static_cast<std::size_t>(handle)];
    return slot < 0 ? -1 : Position(static_cast<std::size_t>(slot));
}

void TMessageRows::InsertTop(TMessageRow row) {
    observers_.Notify([&](auto& o) { o.RowAboutToBeInserted(0); });
    if (row.handle >= 0) {
        if (slotOfHandle_.size() <= static_cast<std::size_t>(row.handle))
            slotOfHandle_.resize(static_cast<std::size_t>(row.handle) + 1, -1);
        slotOfHandle_[static_cast<std::size_t>(row.handle)] = static_cast<int>(rows_.size());
    }
    rows_.push_back(std::move(row));
    observers_.Notify([&](auto& o) { o.RowInserted(0); });
}

void TMessageRows::Update(int position, TMessageRow row) {
    auto& slot = rows_[Slot(position)];
    if (slot.handle != row.handle) {
        if (slot.handle >= 0) slotOfHandle_[static_cast<std::size_t>(slot.handle)] = -1;
        if (row.handle >= 0) {
            if (slotOfHandle_.size() <= static_cast<std::size_t>(row.handle))
                slotOfHandle_.resize(static_cast<std::size_t>(row.handle) + 1, -1);
            slotOfHandle_[static_cast<std::size_t>(row.handle)] = static_cast<int>(Slot(position));
        }
    }
    slot = std::move(row);
    observers_.Notify([&](auto& o) { o.RowChanged(position); });
}

void TMessageRows::RemoveAt(int position) {
    observers_.Notify([&](auto& o) { o.RowAboutToBeRemoved(position); });
    const std::size_t slot = Slot(position);
    if (rows_[slot].handle >= 0) slotOfHandle_[static_cast<std::size_t>(rows_[slot].handle)] = -1;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(slot));
    for (std::size_t s = slot; s < rows_.size(); ++s)
        if (rows_[s].handle >= 0) slotOfHandle_[static_cast<std::size_t>(rows_[s].handle)] = static_cast<int>(s);
    observers_.Notify([&](auto& o) { o.RowRemoved(position); });
}

void TMessageRows::Clear() { ResetFromOldest({}); }

void TMessageRows::ResetFromOldest(std::vector<TMessageRow> oldestFirst) {
    observers_.Notify([&](auto& o) { o.RowsAboutToBeReset(); });
    rows_ = std::move(oldestFirst);
    Reindex();
    observers_.Notify([&](auto& o) { o.RowsReset(); });
}

void TMessageRows::Reindex() {
    slotOfHandle_.assign(slotOfHandle_.size(), -1);
    for (std::size_t s = 0; s < rows_.size(); ++s) {
        const int h = rows_[s].handle;
        if (h < 0) continue;
        if (slotOfHandle_.size() <= static_cast<std::size_t>(h))
            slotOfHandle_.resize(static_cast<std::size_t>(h) + 1, -1);
        slotOfHandle_[static_cast<std::size_t>(h)] = static_cast<int>(s);
    }
}

bool TMessageRows::Arrange(const std::vector<int>& order) {
    if (order.size() != rows_.size()) return false;
    std::vector<char> seen(rows_.size(), 0);
    for (const int position : order) {
        if (position < 0 || position >= Count() || seen[static_cast<std::size_t>(position)]) return false;
        seen[static_cast<std::size_t>(position)] = 1;
    }
    std::vector<TMessageRow> arranged(rows_.size());
    // Kept bottom-up: the row for position i lands in slot size-1-i.
    for (std::size_t i = 0; i < order.size(); ++i) arranged[rows_.size() - 1 - i] = std::move(rows_[Slot(order[i])]);
    observers_.Notify([&](auto& o) { o.RowsAboutToBeReset(); });
    rows_ = std::move(arranged);
    Reindex();
    observers_.Notify([&](auto& o) { o.RowsReset(); });
    return true;
}
