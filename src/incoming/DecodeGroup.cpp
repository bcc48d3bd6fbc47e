#include "incoming/DecodeGroup.h"

void TDecodeGroup::WaitAll() {
    std::unique_lock lock(state_->mutex);
    state_->done.wait(lock, [&] { return state_->running == 0; });
}

int TDecodeGroup::Running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}
