#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/ServerSecurity.h"

class IClock;
class IEventPump;
class IHostLookup;
class ISocket;
class ISocketFactory;
class ITransferDisplay;
class IUserPrompt;

// What a transfer needs from its surroundings.
struct TMailEnv {
    ISocketFactory& net;
    IEventPump& pump;
    IClock& clock;
    IUserPrompt& prompt;
    ITransferDisplay& display;
    // Whether the user can be asked to trust a certificate that could not be
    // verified; skfp-tool never trusts one on its own.
    bool mayTrustCertificates = true;
};

// One TCP connection to a mail server, shared by the POP3 and SMTP clients:
// resolving, connecting (directly or through a telnet-style proxy), TLS and
// the server's certificate, command and reply lines, the time-out of every
// wait, and cancelling. Every wait
// lets the user interface run through the event pump and ends at once when
// Cancel() was called. Failures raise EMailError, ECanceledError or
// ETimedOutError.
class TMailBase {
public:
    TMailBase(const TMailEnv& env, std::string serviceName, std::uint16_t defaultPort);
    virtual ~TMailBase();
    TMailBase(const TMailBase&) = delete;
    TMailBase& operator=(const TMailBase&) = delete;

    // Host name or dotted IPv4 address; "HOST:PORT" names a server that does
    // not listen on the service's port.
    std::string Server;
    std::string ProxyServer;
    std::uint16_t ProxyPort = 23;
    bool UseProxy = false;
    int TimeOut = 60;  // seconds, for every single wait
    // "TLS" starts TLS right after connecting; "STARTTLS" is the protocol's
    // upgrade (the subclasses run it); "None" stays plain.
    TSecurity Security = TSecurity::None;
    // A certificate the user trusts although it could not be verified. When
    // the user says yes to another one, it is replaced and TrustChanged()
    // tells the owner to keep it.
    std::string TrustedFingerprint;
    bool TrustChanged() const { return trustChanged_; }
    // TLS protects the connection now.
    bool Secure() const { return secure_; }

    virtual void ResetFlags();
    virtual void Cancel();
    virtual void Connect();
    // The platform's result of closing, or -1 when no connection was held.
    virtual int Disconnect();
    bool Connected() const { return socket_ != nullptr; }

    // Sends text and a line feed (the proxy's line end).
    void SendLine(const std::string& text);
    // One reply line without its line end.
    std::string ReadLine();

    void ShowStatus(const std::string& text);
    // Moves the progress bar; the interface runs once when the value changed.
    void SetProgress(int percent);

    // The port Connect() took (host order), for tests and status texts.
    std::uint16_t ResolvedPort() const { return port_; }
    std::uint32_t ResolvedAddress() const { return address_; }

    // Longest reply line, line end included.
    static constexpr std::size_t kMaxLine = 255;

protected:
    // How a failed send ends: the protocols differ.
    enum class TSendFailure { MailError, Canceled };
    // Queues bytes for the server; they leave at the next Flush() or once
    // enough have gathered.
    void Queue(std::string_view data, TSendFailure onFailure);
    // Sends everything queued; a time-out or cancel closes the connection.
    void Flush(TSendFailure onFailure);
    // Called when a send fails for another reason than time-out or cancel;
    // the POP3 client shows its box here. Must throw.
    [[noreturn]] virtual void SendFailed(TSendFailure onFailure);

    // Upgrades the open connection to TLS and checks the certificate; no
    // byte received in clear may be left over. Failures show their box and
    // close the connection.
    void StartTls();
    // The service looked up for the port, and the port when it is unknown.
    void SetService(std::string name, std::uint16_t defaultPort);
    // The port the protocol's servers use for a mode, for the advice of a
    // failed handshake; 0 when there is none to give.
    virtual std::uint16_t StandardPort(TSecurity mode) const {
        (void)mode;
        return 0;
    }

    // Waits for data, cancel, time-out or a broken connection, like the first
    // step of every read; cancel raises ECanceledError, the others EMailError.
    void WaitForData();
    // Up to size bytes of what the server sent, waiting for at least one
    // (each wait with a fresh time-out). Bytes a line read fetched beyond
    // its line come first.
    std::size_t ReadSome(char* buffer, std::size_t size);

    bool CancelRequested() const { return cancel_; }
    bool TimedOut() const { return timedOut_; }
    // Lets the interface run when it has not run for a while, so long
    // transfers stay responsive without a pause per chunk.
    void KeepAlive();
    void Pump();
    void StartTimer();
    void StopTimer();

    const TMailEnv& Env() const { return env_; }
    // The server's greeting (or the proxy's line that stood for it),
    // without its line end.
    const std::string& Greeting() const { return greeting_; }
    const std::string& ServiceName() const { return serviceName_; }
    std::uint16_t DefaultPort() const { return defaultPort_; }
    // Server without a ":PORT" suffix.
    std::string HostPart() const;
    // Whether Connect() waits for the server to speak first (mail servers
    // greet; a web server waits for the request).
    bool readsGreeting_ = true;

private:
    void ResolveHost(const std::string& host);
    void ResolveService();
    void OpenSocket(const std::string& tlsHost);
    void CheckCertificate();
    [[noreturn]] void TlsFailed(const std::string& reason, const std::string& fix);
    // What to try when the handshake itself failed: the other mode.
    std::string HandshakeFix() const;
    void ConnectSocket();
    std::string ReadGreeting();
    void ProxyHandshake();
    // Fills the read buffer from the socket; the timer must run.
    void Fill();
    void CheckTimer();
    // Waits for socket events or the end of a lookup, until ready, cancel or
    // time-out.
    unsigned WaitFor(unsigned wanted);
    void WaitForLookup();
    void ThrowIfStopped();

    TMailEnv env_;
    std::string serviceName_;
    std::uint16_t defaultPort_;

    std::unique_ptr<ISocket> socket_;
    std::unique_ptr<IHostLookup> lookup_;
    std::uint32_t address_ = 0;
    std::uint16_t port_ = 0;

    bool secure_ = false;
    bool trustChanged_ = false;
    bool timedOut_ = false;
    bool cancel_ = false;
    bool timerOn_ = false;
    std::int64_t deadline_ = 0;  // on the clock's monotonic milliseconds
    long long lastPumpMs_ = 0;
    int lastProgress_ = -1;
    std::string lastStatus_;
    bool statusShown_ = false;

    // Bytes received but not yet handed out, from inPos_ on.
    std::vector<char> in_;
    std::size_t inPos_ = 0;
    std::size_t inEnd_ = 0;
    // The greeting reader stops at a carriage return; its line feed is not
    // part of the next line.
    bool skipLineFeed_ = false;
    std::string out_;
    std::string greeting_;
};
