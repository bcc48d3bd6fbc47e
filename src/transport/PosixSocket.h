#pragma once

#include <memory>
#include <string>

#include "transport/Socket.h"

class TTlsContext;
typedef struct ssl_st SSL;

// A non-blocking IPv4 stream socket, waited on with poll(), with TLS from
// OpenSSL once StartTls() has run.
class TPosixSocket : public ISocket {
public:
    // Takes ownership of an open descriptor. tls may be empty for sockets
    // that never use TLS.
    TPosixSocket(int fd, TEndpoint endpoint, std::shared_ptr<TTlsContext> tls);
    ~TPosixSocket() override;
    TPosixSocket(const TPosixSocket&) = delete;
    TPosixSocket& operator=(const TPosixSocket&) = delete;

    bool StartConnect(std::uint32_t address, std::uint16_t port) override;
    int ConnectResult() override;
    unsigned Wait(unsigned wanted, int timeoutMs) override;
    long Receive(char* buffer, std::size_t size) override;
    long Send(const char* data, std::size_t size) override;

    bool StartTls() override;
    TTlsStep ContinueTls() override;
    std::string TlsFailure() const override { return tlsFailure_; }
    TPeerCertificate PeerCertificate() const override;

private:
    // Maps an OpenSSL result of a read or write.
    long TlsResult(int ret, bool reading);

    int fd_;
    TEndpoint endpoint_;
    std::shared_ptr<TTlsContext> tls_;
    SSL* ssl_ = nullptr;
    // TLS may need the other direction to finish a read or a write (a key
    // update, a full send buffer); the next wait then watches for it.
    bool readNeedsWritable_ = false;
    bool writeNeedsReadable_ = false;
    // The last read found only part of a record.
    bool readStarved_ = false;
    std::string tlsFailure_;
};
