#include "store/BodyAppend.h"

#include <unistd.h>

#include "common/BusyFlag.h"
#include "store/MailboxFiles.h"

TBodyAppend::TBodyAppend(TBusyFlags& flags, std::size_t batchSize, std::vector<TBox> boxes)
    : flags_(&flags), boxes_(std::move(boxes)), stored_(batchSize, false) {}

TBodyAppend::TBodyAppend(TBodyAppend&& other) noexcept
    : flags_(other.flags_), boxes_(std::move(other.boxes_)), stored_(std::move(other.stored_)), failed_(other.failed_) {
    other.flags_ = nullptr;
    other.boxes_.clear();
}

TBodyAppend::~TBodyAppend() { Settle(); }

const std::vector<bool>& TBodyAppend::Settle() {
    if (!flags_) return stored_;
    for (TBox& box : boxes_) {
        bool ok = ::fdatasync(box.fd) == 0;
        ok = ::close(box.fd) == 0 && ok;
        box.fd = -1;
        ok = ok && TMailboxFiles::ReplaceIndexFile(box.indexPath, box.backupPath, box.indexText);
        if (!ok) {
            failed_ = true;
            continue;
        }
        for (const std::size_t i : box.members) stored_[i] = true;
    }
    boxes_.clear();
    flags_->indexSave.Release();
    flags_->messageFile.Release();
    flags_ = nullptr;
    return stored_;
}
