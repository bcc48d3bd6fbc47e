#pragma once

#include "transport/SocketFactory.h"

class TTlsContext;

// The machine's own network. The TLS set-up (reading the trust store) is
// made once, for the first socket that needs it.
class TPosixSocketFactory : public ISocketFactory {
public:
    std::unique_ptr<IHostLookup> LookupHost(const std::string& name) override;
    std::optional<std::uint16_t> LookupService(const std::string& name) override;
    std::unique_ptr<ISrvLookup> LookupSrv(const std::string& name) override;
    std::unique_ptr<ISocket> Open(const TEndpoint& endpoint) override;

private:
    std::shared_ptr<TTlsContext> tls_;
};
