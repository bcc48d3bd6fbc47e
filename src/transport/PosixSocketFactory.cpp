#include "transport/PosixSocketFactory.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <system_error>

#include "transport/PosixSocket.h"
#include "transport/ThreadHostLookup.h"
#include "transport/ThreadSrvLookup.h"
#include "transport/TlsContext.h"

std::unique_ptr<IHostLookup> TPosixSocketFactory::LookupHost(const std::string& name) {
    try {
        return std::make_unique<TThreadHostLookup>(name);
    } catch (const std::system_error&) {
        return nullptr;  // no thread to be had
    }
}

std::unique_ptr<ISrvLookup> TPosixSocketFactory::LookupSrv(const std::string& name) {
    try {
        return std::make_unique<TThreadSrvLookup>(name);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

std::optional<std::uint16_t> TPosixSocketFactory::LookupService(const std::string& name) {
    // getservbyname_r reads a local file; it answers at once.
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    if (::getservbyname_r(name.c_str(), "tcp", &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return std::nullopt;
    return ntohs(static_cast<std::uint16_t>(found->s_port));
}

std::unique_ptr<ISocket> TPosixSocketFactory::Open(const TEndpoint& endpoint) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    // Plain accounts never load the trust store.
    if (!tls_ && endpoint.security != TSecurity::None) tls_ = std::make_shared<TTlsContext>();
    return std::make_unique<TPosixSocket>(fd, endpoint, tls_);
}
