#pragma once

#include <mutex>

#include "transport/DialUp.h"

// Dial-up on a system without a dial-up service: no entries, and a dial
// fails at once, so a configured automatic dial neither blocks nor breaks a
// check.
class TNoDialUp : public IDialUp {
public:
    void ListEntries(std::vector<std::string>&) override {}
    bool GetCredentials(const std::string&, std::string&, std::string&) override { return false; }
    bool Dial(const std::string& entry, const std::string& userName, const std::string& password,
              long& handle) override;
    void HangUp(long) override {}
    bool Done() const override;
    std::string StatusText() const override;

private:
    mutable std::mutex mutex_;
    bool done_ = true;
    std::string status_;
};
