#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transport/SocketFactory.h"

// One scripted conversation: what the server sends and what the client must
// write, in order. The server's next bytes are released only once the
// client wrote exactly what the script expects before them; a client that
// writes anything else gets no answer (and runs into its time-out), and the
// test compares Written() with ClientText().
class TScript {
public:
    TScript& Server(std::string bytes);  // delivered as one receive
    TScript& Client(std::string bytes);
    // Any bytes up to and including the first occurrence of end.
    TScript& ClientUntil(std::string end);
    TScript& Close();  // the server hangs up
    // The TLS handshake, once the client wrote what came before; the
    // conversation goes on in clear text as the two ends see it inside TLS.
    // The certificate is the one the client then sees.
    TScript& Tls(TPeerCertificate certificate = Trusted());
    // A handshake the server breaks off.
    TScript& TlsFails();
    // A handshake the server never answers.
    TScript& TlsStalls();
    static TPeerCertificate Trusted();
    static TPeerCertificate Untrusted(std::string problem, std::string fingerprint);

    std::string Written() const { return written_; }
    std::string ClientText() const;
    bool Finished() const { return step_ == steps_.size(); }

    // Connect behaviour.
    bool startFails = false;
    int connectError = 0;
    bool neverConnects = false;
    bool sendFails = false;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    TEndpoint endpoint;  // what the socket was opened for
    int handshakes = 0;  // TLS handshakes that completed

    // ISocket side.
    long Receive(char* buffer, std::size_t size);
    long Send(const char* data, std::size_t size);
    bool Readable();
    bool StartTls();
    ISocket::TTlsStep ContinueTls();
    TPeerCertificate PeerCertificate() const { return certificate_; }

private:
    struct Step {
        enum Kind { ServerBytes, ClientBytes, ClientUntil, Hangup, Handshake, BrokenHandshake, StalledHandshake } kind;
        std::string bytes;
        TPeerCertificate certificate{};
    };
    void Advance();

    std::vector<Step> steps_;
    std::size_t step_ = 0;
    std::string written_;
    std::size_t matched_ = 0;
    std::deque<std::string> pending_;
    bool closed_ = false;
    bool tlsStarted_ = false;
    TPeerCertificate certificate_;
};

// The network of a test: host names, services and the conversations the
// next sockets play.
class TScriptedNetwork : public ISocketFactory {
public:
    std::map<std::string, std::optional<std::uint32_t>> hosts;  // nothing: does not resolve
    bool lookupsHang = false;
    std::map<std::string, std::uint16_t> services{{"pop3", 110}, {"smtp", 25}, {"telnet", 23}};
    int hostLookups = 0;

    // The conversation of the next socket opened.
    TScript& Next();

    std::unique_ptr<IHostLookup> LookupHost(const std::string& name) override;
    std::optional<std::uint16_t> LookupService(const std::string& name) override;
    std::unique_ptr<ISocket> Open(const TEndpoint& endpoint) override;

private:
    std::deque<std::shared_ptr<TScript>> scripts_;
    std::vector<std::shared_ptr<TScript>> used_;
};
