#pragma once

#include <cstdint>
#include <optional>

// A host name lookup that runs while the caller keeps the interface alive.
class IHostLookup {
public:
    virtual ~IHostLookup() = default;
    virtual bool Done() const = 0;
    // The first IPv4 address (host order); nothing when the name did not
    // resolve. Only meaningful once Done().
    virtual std::optional<std::uint32_t> Address() const = 0;
    // The caller no longer waits; the answer, when it comes, is dropped.
    virtual void Cancel() = 0;
};
