#pragma once

#include <memory>
#include <string>

#include "transport/SrvLookup.h"

// res_nquery() for SRV records on a helper thread of its own, with a
// resolver state of its own. The thread owns a share of the answer, so a
// lookup its caller stopped waiting for ends harmlessly in the background.
class TThreadSrvLookup : public ISrvLookup {
public:
    explicit TThreadSrvLookup(const std::string& name);
    bool Done() const override;
    std::vector<TSrvRecord> Records() const override;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};
