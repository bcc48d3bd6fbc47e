#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/ServerSecurity.h"

// Where a socket goes: the host name is the one TLS presents (SNI) and
// checks the server's certificate against, even when the connection runs
// through a proxy.
struct TEndpoint {
    std::string host;
    std::uint16_t port = 0;
    TSecurity security = TSecurity::None;
};

// What the server's certificate proved.
struct TPeerCertificate {
    bool verified = false;    // a trusted authority issued it for this host
    std::string problem;      // why not, in words for the user
    std::string fingerprint;  // SHA-256, "AB:CD:..."; empty without a certificate
};

// One non-blocking TCP connection, protected by TLS once StartTls() has run.
// The mail clients only ever talk to this interface, so tests can play a
// server's side byte for byte.
class ISocket {
public:
    // Events of Wait().
    static constexpr unsigned kReadable = 1;
    static constexpr unsigned kWritable = 2;  // also: a started connect has finished
    static constexpr unsigned kFailed = 4;
    // Results of Receive() and Send() besides a byte count.
    static constexpr long kWouldBlock = -1;
    static constexpr long kError = -2;
    // Steps of the TLS handshake.
    enum class TTlsStep { Done, WantRead, WantWrite, Failed };

    virtual ~ISocket() = default;
    // Starts connecting to an IPv4 address (host order). False when the start
    // failed at once; otherwise the end of the connect shows as kWritable.
    virtual bool StartConnect(std::uint32_t address, std::uint16_t port) = 0;
    // 0 once the connection stands, else the reason (an errno value).
    virtual int ConnectResult() = 0;
    // Waits at most timeoutMs for any of the wanted events and returns those
    // that hold (kFailed whenever the connection is broken). Bytes TLS holds
    // already decrypted count as readable.
    virtual unsigned Wait(unsigned wanted, int timeoutMs) = 0;
    // Bytes received, 0 at the end of the stream, kWouldBlock or kError.
    virtual long Receive(char* buffer, std::size_t size) = 0;
    // Bytes accepted, kWouldBlock or kError.
    virtual long Send(const char* data, std::size_t size) = 0;

    // Begins TLS on the open connection for the endpoint's host; false when
    // TLS cannot be had here at all. The handshake then runs through
    // ContinueTls() until it is done or failed.
    virtual bool StartTls() { return false; }
    virtual TTlsStep ContinueTls() { return TTlsStep::Failed; }
    // Why the handshake failed.
    virtual std::string TlsFailure() const { return {}; }
    // The server's certificate, once the handshake is done.
    virtual TPeerCertificate PeerCertificate() const { return {}; }
};
