#pragma once

#include <vector>

#include "transport/SrvRecord.h"

// A DNS SRV lookup that runs while the caller keeps the interface alive.
class ISrvLookup {
public:
    virtual ~ISrvLookup() = default;
    virtual bool Done() const = 0;
    // The records of the answer; none when the name has none or the lookup
    // failed. Only meaningful once Done().
    virtual std::vector<TSrvRecord> Records() const = 0;
};
