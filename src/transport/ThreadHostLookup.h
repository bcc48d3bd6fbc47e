#pragma once

#include <memory>
#include <string>

#include "transport/HostLookup.h"

// getaddrinfo() on a helper thread of its own. The thread owns a share of
// the answer, so a lookup that is cancelled or outlived by its caller ends
// harmlessly in the background.
class TThreadHostLookup : public IHostLookup {
public:
    explicit TThreadHostLookup(const std::string& name);
    bool Done() const override;
    std::optional<std::uint32_t> Address() const override;
    void Cancel() override {}

private:
    struct TState;
    std::shared_ptr<TState> state_;
};
