#pragma once

#include "transport/SocketFactory.h"

// The machine's own network.
class TPosixSocketFactory : public ISocketFactory {
public:
    std::unique_ptr<IHostLookup> LookupHost(const std::string& name) override;
    std::optional<std::uint16_t> LookupService(const std::string& name) override;
    std::unique_ptr<ISocket> Open() override;
};
