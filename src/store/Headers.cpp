#include "store/Headers.h"

#include "common/AppTitle.h"
#include "common/UserPrompt.h"

void THeaders::Reserve(std::size_t more) {
    slots_.reserve(slots_.size() + more);
    handles_.reserve(handles_.size() + more);
}

int THeaders::Add(std::unique_ptr<THeaderItem> item) {
    const int handle = Length();
    handles_[item.get()] = handle;
    slots_.push_back(std::move(item));
    return handle;
}

const THeaderItem* THeaders::HandleToHeader(int handle) const {
    if (handle < 0 || handle >= Length()) {
        prompt_.Error(std::string(kAppTitle) + " encountered and error in Module FILESYS.\r\n" +
                      "Reason: HandleToHeader conversion error.");
        spare_ = THeaderItem();
        return &spare_;
    }
    return slots_[static_cast<std::size_t>(handle)].get();
}

THeaderItem* THeaders::Slot(int handle) const {
    if (handle < 0 || handle >= Length()) return nullptr;
    return slots_[static_cast<std::size_t>(handle)].get();
}

int THeaders::HandleOf(const THeaderItem* item) const {
    const auto it = handles_.find(item);
    return it == handles_.end() ? -1 : it->second;
}

int THeaders::Count(const std::string& mailbox) const {
    int n = 0;
    for (const auto& slot : slots_)
        if (slot && slot->Mailbox == mailbox) ++n;
    return n;
}

int THeaders::CountNew(const std::string& mailbox) const {
    int n = 0;
    for (const auto& slot : slots_)
        if (slot && slot->Has(mfNew) && slot->Mailbox == mailbox) ++n;
    return n;
}

int THeaders::CountNewAll() const {
    int n = 0;
    for (const auto& slot : slots_)
        if (slot && slot->Has(mfNew)) ++n;
    return n;
}

std::unique_ptr<THeaderItem> THeaders::Take(int handle) {
    THeaderItem* item = Slot(handle);
    if (!item) return nullptr;
    handles_.erase(item);
    return std::move(slots_[static_cast<std::size_t>(handle)]);
}
