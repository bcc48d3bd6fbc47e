#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transport/HostLookup.h"
#include "transport/Socket.h"
#include "transport/SrvLookup.h"

// Where the mail clients get their network from: the real one, or a script.
class ISocketFactory {
public:
    virtual ~ISocketFactory() = default;
    // Starts a lookup; nothing when it could not be started.
    virtual std::unique_ptr<IHostLookup> LookupHost(const std::string& name) = 0;
    // The port of a TCP service from the services database (host order).
    virtual std::optional<std::uint16_t> LookupService(const std::string& name) = 0;
    // Starts a lookup of the SRV records of a name ("_pop3s._tcp.example.org");
    // nothing when the network has no such lookup.
    virtual std::unique_ptr<ISrvLookup> LookupSrv(const std::string& name) {
        (void)name;
        return nullptr;
    }
    // A new unconnected socket for the endpoint; nothing when the system
    // refuses one.
    virtual std::unique_ptr<ISocket> Open(const TEndpoint& endpoint) = 0;
};
