#include "transport/NoDialUp.h"

bool TNoDialUp::Dial(const std::string&, const std::string&, const std::string&, long& handle) {
    std::lock_guard lock(mutex_);
    handle = 0;
    status_ = "Dialup Account failed: there is no dial-up service on this system.";
    done_ = true;
    return false;
}

bool TNoDialUp::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

std::string TNoDialUp::StatusText() const {
    std::lock_guard lock(mutex_);
    return status_;
}
