#include "transport/MailBase.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>

#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/EventPump.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"
#include "transport/CanceledError.h"
#include "transport/HostLookup.h"
#include "transport/MailError.h"
#include "transport/Socket.h"
#include "transport/SocketFactory.h"
#include "transport/TimedOutError.h"
#include "transport/TransferDisplay.h"

namespace {

// How long one poll may block before the interface runs again.
constexpr int kPollMs = 5;
// Longest stretch of streaming without a pass through the interface.
constexpr long long kKeepAliveMs = 20;
constexpr std::size_t kReadBuffer = 64 * 1024;
// Queued output is sent once this much has gathered.
constexpr std::size_t kSendBatch = 64 * 1024;
// Lines a proxy may send before the mail server's greeting.
constexpr int kMaxProxyLines = 100;
// A greeting or proxy line this long is no line at all.
constexpr std::size_t kMaxGreeting = 4096;

long long SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr char kDQ = '"';

}  // namespace

TMailBase::TMailBase(const TMailEnv& env, std::string serviceName, std::uint16_t defaultPort)
    : env_(env), serviceName_(std::move(serviceName)), defaultPort_(defaultPort), in_(kReadBuffer) {}

TMailBase::~TMailBase() {
    if (lookup_) lookup_->Cancel();
}

void TMailBase::ResetFlags() {
    timedOut_ = false;
    cancel_ = false;
    timerOn_ = false;
    if (lookup_) lookup_->Cancel();
    lookup_.reset();
}

void TMailBase::Cancel() {
    cancel_ = true;
    if (lookup_) lookup_->Cancel();
    lookup_.reset();
}

int TMailBase::Disconnect() {
    if (!socket_) return -1;
    socket_.reset();
    secure_ = false;
    inPos_ = inEnd_ = 0;
    out_.clear();
    skipLineFeed_ = false;
    return 0;
}

std::string TMailBase::HostPart() const {
    const auto colon = Server.rfind(':');
    if (colon == std::string::npos || colon + 1 == Server.size()) return Server;
    const std::string_view digits(Server.data() + colon + 1, Server.size() - colon - 1);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return Server;
    return Server.substr(0, colon);
}

void TMailBase::SetService(std::string name, std::uint16_t defaultPort) {
    serviceName_ = std::move(name);
    defaultPort_ = defaultPort;
}

void TMailBase::Connect() {
    Disconnect();
    // The mail server's name is the one its certificate must carry, also
    // when the connection runs through the proxy.
    const std::string mailHost = HostPart();
    if (!UseProxy) {
        ResolveHost(mailHost);
        ResolveService();
        OpenSocket(mailHost);
        ConnectSocket();
        if (Security == TSecurity::Tls) StartTls();
        if (!readsGreeting_) return;
        greeting_ = ReadGreeting();
        while (!greeting_.empty() && greeting_.back() == '\r') greeting_.pop_back();
        return;
    }
    const std::string server = Server;
    const std::string service = serviceName_;
    const std::uint16_t defaultPort = defaultPort_;
    if (Security == TSecurity::Tls) {
        // The proxy's answer stands for the server's greeting, which TLS
        // would hide: there is no telling when the relay stands.
        env_.prompt.Error(std::string(kAppTitle) + " could not connect to server " + kDQ + Server + kDQ + "." + "\n\r" +
                          "Reason: A connection through the proxy cannot begin with TLS." + "\n\r" +
                          "Fix: Choose STARTTLS as the security of this account, or do not use the proxy.");
        throw EMailError();
    }
    serviceName_ = "telnet";
    Server = ProxyServer;
    defaultPort_ = ProxyPort;
    try {
        ResolveHost(HostPart());
        ResolveService();
        OpenSocket(mailHost);
        ConnectSocket();
    } catch (...) {
        Server = server;
        serviceName_ = service;
        defaultPort_ = defaultPort;
        throw;
    }
    Server = server;
    serviceName_ = service;
    defaultPort_ = defaultPort;
    ProxyHandshake();
}

void TMailBase::ProxyHandshake() {
    // The proxy connects on to the mail server's own port; the host part
    // carries it when it is not the service's.
    std::string target = HostPart();
    std::uint16_t port = defaultPort_;
    if (target != Server) std::from_chars(Server.data() + target.size() + 1, Server.data() + Server.size(), port);
    SendLine("open " + target + " " + std::to_string(port));
    // A relay says a few lines before the server's greeting; one that talks
    // on without end is not relaying.
    for (int lines = 0;; ++lines) {
        if (lines == kMaxProxyLines) {
            env_.prompt.Information(std::string(kAppTitle) + " could not establish a connection with " +
                                    text::ToUpperAscii(serviceName_) + "." + "\n\r" +
                                    "Reason: The proxy sent no answer of the mail server.");
            throw EMailError();
        }
        const std::string line = ReadGreeting();
        const std::string upper = text::ToUpperAscii(line);
        if (upper.find("+OK ") != std::string::npos || line.starts_with("-ERR") || line.starts_with("500") ||
            line.starts_with("220")) {
            greeting_ = line.substr(0, line.size() - 1);
            return;
        }
        if (text::ToLowerAscii(line).find("connection refused") != std::string::npos || cancel_) {
            env_.prompt.Information(std::string(kAppTitle) + " could not establish a connection with " +
                                    text::ToUpperAscii(serviceName_) + "." + "\n\r" + "Reason: " + line + "\r\n" +
                                    "It may be possible that the server that you are trying to connect to does "
                                    "not allow outside connections.");
            throw EMailError();
        }
    }
}

void TMailBase::ResolveHost(const std::string& host) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, host.c_str(), &parsed) == 1) {
        address_ = ntohl(parsed.s_addr);
        return;
    }
    lookup_ = env_.net.LookupHost(host);
    if (!lookup_) throw EMailError();
    StartTimer();
    WaitForLookup();
    StopTimer();
    const bool done = lookup_ && lookup_->Done();
    const auto address = done ? lookup_->Address() : std::nullopt;
    if (lookup_) lookup_->Cancel();
    lookup_.reset();
    if (done && !address) {
        env_.prompt.Error(std::string(kAppTitle) + " could not connect to server " + kDQ + Server + kDQ + "!" + "\n\r" +
                          "Reason: Async Error.\n\r" + "\n\r" +
                          "Fix: Check your Internet Server Settings in the Control Center");
        throw EMailError();
    }
    if (timedOut_) throw ETimedOutError();
    if (cancel_ || !address) throw ECanceledError();
    address_ = *address;
}

void TMailBase::ResolveService() {
    if (serviceName_.empty()) throw EMailError();
    const std::string host = HostPart();
    if (host != Server) {
        std::uint16_t port = 0;
        const char* first = Server.data() + host.size() + 1;
        const auto [end, ec] = std::from_chars(first, Server.data() + Server.size(), port);
        if (ec == std::errc() && end == Server.data() + Server.size() && port != 0) {
            port_ = port;
            return;
        }
    }
    if (cancel_) throw ECanceledError();
    port_ = env_.net.LookupService(serviceName_).value_or(defaultPort_);
}

void TMailBase::OpenSocket(const std::string& tlsHost) {
    socket_ = env_.net.Open(TEndpoint{tlsHost, port_, Security});
    if (!socket_) throw EMailError();
}

namespace {

constexpr const char* kCheckSecurity = "Fix: Check the security and the port of this account in the Control Center.";

}  // namespace

std::string TMailBase::HandshakeFix() const {
    const std::uint16_t tlsPort = StandardPort(TSecurity::Tls);
    const std::uint16_t startTlsPort = StandardPort(TSecurity::StartTls);
    if (!tlsPort || !startTlsPort) return kCheckSecurity;
    // A port that expects STARTTLS answers TLS's first bytes with its plain
    // greeting (OpenSSL: "wrong version number"), the common mix-up of 587
    // and 465.
    if (Security == TSecurity::Tls)
        return "Fix: This port may expect STARTTLS: choose STARTTLS (port " + std::to_string(startTlsPort) +
               ") as the security of this account, or write the server as HOST:" + std::to_string(tlsPort) +
               " to keep TLS.";
    return "Fix: Choose TLS (port " + std::to_string(tlsPort) + ") as the security of this account.";
}

void TMailBase::TlsFailed(const std::string& reason, const std::string& fix) {
    env_.prompt.Error(std::string(kAppTitle) + " could not establish a secure connection with server " + kDQ +
                      HostPart() + kDQ + "." + "\n\r" + "Reason: " + reason + "\n\r" + fix);
    Disconnect();
    throw EMailError();
}

void TMailBase::StartTls() {
    if (!socket_) throw EMailError();
    // Whatever came in clear after the server agreed to TLS would later pass
    // for protected data (a known injection); such a server is not used.
    if (inPos_ < inEnd_) TlsFailed("The server sent data before the TLS handshake.", kCheckSecurity);
    skipLineFeed_ = false;
    if (!socket_->StartTls()) TlsFailed(socket_->TlsFailure(), kCheckSecurity);
    StartTimer();
    for (;;) {
        const ISocket::TTlsStep step = socket_->ContinueTls();
        if (step == ISocket::TTlsStep::Done) break;
        if (step == ISocket::TTlsStep::Failed) {
            StopTimer();
            TlsFailed("The TLS handshake failed: " + socket_->TlsFailure(), HandshakeFix());
        }
        WaitFor(step == ISocket::TTlsStep::WantRead ? ISocket::kReadable : ISocket::kWritable);
        if (cancel_ || timedOut_) {
            StopTimer();
            Disconnect();
            ThrowIfStopped();
        }
    }
    StopTimer();
    secure_ = true;
    CheckCertificate();
}

void TMailBase::CheckCertificate() {
    const TPeerCertificate cert = socket_->PeerCertificate();
    if (cert.verified) return;
    if (!cert.fingerprint.empty() && cert.fingerprint == TrustedFingerprint) return;
    const std::string host = HostPart();
    const std::string details = "Reason: " + cert.problem + "\n\r" + "SHA-256 fingerprint: " + cert.fingerprint;
    // Nothing but the handshake has crossed yet: no command, no password.
    if (env_.mayTrustCertificates && !cert.fingerprint.empty()) {
        const std::string changed =
            TrustedFingerprint.empty() ? "" : "\n\rThe certificate differs from the one you trusted before.";
        if (env_.prompt.YesNo(std::string(kAppTitle) + " can not verify the certificate of server " + kDQ + host + kDQ +
                              "." + "\n\r" + details + changed + "\n\r" +
                              "Do you trust this certificate for this account?")) {
            TrustedFingerprint = cert.fingerprint;
            trustChanged_ = true;
            return;
        }
    }
    env_.prompt.Error(std::string(kAppTitle) + " could not establish a secure connection with server " + kDQ + host +
                      kDQ + "." + "\n\r" + details + "\n\r" +
                      "Fix: Trust this certificate only when its fingerprint is the one your provider gives.");
    Disconnect();
    throw EMailError();
}

void TMailBase::ConnectSocket() {
    StartTimer();
    if (!socket_->StartConnect(address_, port_)) {
        StopTimer();
        env_.prompt.Error(std::string(kAppTitle) + " could not connect to server " + kDQ + Server + kDQ + "." + "\n\r" +
                          "Reason: Could not connect to server." + "\n\r" +
                          "Fix: Please check your Internet Server Host Name in the Control Center.");
        Disconnect();
        throw EMailError();
    }
    WaitFor(ISocket::kWritable);
    StopTimer();
    if (cancel_) {
        Disconnect();
        throw ECanceledError();
    }
    if (timedOut_) {
        Disconnect();
        throw ETimedOutError();
    }
    // A refused connection is known at once; waiting out the time-out would
    // only keep the user from the answer.
    if (socket_->ConnectResult() != 0) {
        env_.prompt.Error(std::string(kAppTitle) + " could not connect to server " + kDQ + Server + kDQ + "." + "\n\r" +
                          "Reason: Could not connect to server." + "\n\r" +
                          "Fix: Please check your Internet Server Host Name in the Control Center.");
        Disconnect();
        throw EMailError();
    }
}

void TMailBase::StartTimer() {
    timerOn_ = true;
    deadline_ = env_.clock.MonotonicMs() + static_cast<std::int64_t>(TimeOut) * 1000;
}

void TMailBase::StopTimer() { timerOn_ = false; }

void TMailBase::CheckTimer() {
    if (timerOn_ && env_.clock.MonotonicMs() >= deadline_) {
        timerOn_ = false;
        timedOut_ = true;
        if (lookup_) lookup_->Cancel();
    }
}

void TMailBase::Pump() {
    env_.pump.Pump();
    lastPumpMs_ = SteadyMs();
    CheckTimer();
}

void TMailBase::KeepAlive() {
    if (SteadyMs() - lastPumpMs_ >= kKeepAliveMs)
        Pump();
    else
        CheckTimer();
}

unsigned TMailBase::WaitFor(unsigned wanted) {
    for (;;) {
        if (cancel_ || timedOut_ || !socket_) return 0;
        const unsigned got = socket_->Wait(wanted, kPollMs);
        if (got) {
            KeepAlive();
            return got;
        }
        Pump();
    }
}

void TMailBase::WaitForLookup() {
    while (!cancel_ && !timedOut_ && lookup_ && !lookup_->Done()) Pump();
}

void TMailBase::ThrowIfStopped() {
    if (timedOut_) throw ETimedOutError();
    if (cancel_) throw ECanceledError();
}

void TMailBase::WaitForData() {
    if (!socket_) throw EMailError();
    if (inPos_ < inEnd_) {
        if (cancel_) throw ECanceledError();
        return;
    }
    StartTimer();
    const unsigned got = WaitFor(ISocket::kReadable);
    StopTimer();
    if (cancel_) throw ECanceledError();
    if (timedOut_) throw ETimedOutError();
    if (!(got & ISocket::kReadable)) throw EMailError();
}

void TMailBase::Fill() {
    for (;;) {
        ThrowIfStopped();
        if (!socket_) throw EMailError();
        const long n = socket_->Receive(in_.data(), in_.size());
        if (n > 0) {
            inPos_ = 0;
            inEnd_ = static_cast<std::size_t>(n);
            return;
        }
        // A closed connection will never answer; it is reported now rather
        // than when the time-out runs out.
        if (n == 0 || n == ISocket::kError) throw EMailError();
        WaitFor(ISocket::kReadable);
    }
}

std::size_t TMailBase::ReadSome(char* buffer, std::size_t size) {
    if (inPos_ == inEnd_) {
        StartTimer();
        Fill();
        StopTimer();
    }
    if (skipLineFeed_) {
        skipLineFeed_ = false;
        if (in_[inPos_] == '\n' && ++inPos_ == inEnd_) return ReadSome(buffer, size);
    }
    const std::size_t n = std::min(size, inEnd_ - inPos_);
    std::memcpy(buffer, in_.data() + inPos_, n);
    inPos_ += n;
    return n;
}

std::string TMailBase::ReadLine() {
    WaitForData();
    StartTimer();
    std::string line;
    for (;;) {
        if (inPos_ == inEnd_) Fill();
        const char c = in_[inPos_++];
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (c == '\n') continue;
        }
        line.push_back(c);
        // Lines shorter than four bytes are not complete: they are joined
        // with the following line.
        if (line.size() >= 4 && c == '\n') break;
        if (line.size() >= kMaxLine) {
            StopTimer();
            ShowStatus("The server sent a reply line longer than " + std::to_string(kMaxLine) + " bytes.");
            Disconnect();
            throw EMailError();
        }
    }
    StopTimer();
    if (const auto nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

std::string TMailBase::ReadGreeting() {
    WaitForData();
    StartTimer();
    std::string line;
    for (;;) {
        if (inPos_ == inEnd_) Fill();
        const auto c = static_cast<unsigned char>(in_[inPos_++]);
        if (c == '\r' || (c >= 32 && c <= 125)) line.push_back(static_cast<char>(c));
        if (!line.empty() && line.back() == '\r') break;
        if (line.size() > kMaxGreeting) {
            StopTimer();
            Disconnect();
            throw EMailError();
        }
    }
    StopTimer();
    skipLineFeed_ = true;
    return line;
}

void TMailBase::SendLine(const std::string& text) {
    Queue(text + "\n", TSendFailure::MailError);
    Flush(TSendFailure::MailError);
}

void TMailBase::Queue(std::string_view data, TSendFailure onFailure) {
    out_.append(data);
    if (out_.size() >= kSendBatch) Flush(onFailure);
}

void TMailBase::Flush(TSendFailure onFailure) {
    if (!socket_) throw EMailError();
    StartTimer();
    std::size_t sent = 0;
    while (sent < out_.size()) {
        if (cancel_ || timedOut_) break;
        const long n = socket_->Send(out_.data() + sent, out_.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            KeepAlive();
        } else if (n == ISocket::kWouldBlock || n == 0) {
            WaitFor(ISocket::kWritable);
        } else {
            StopTimer();
            out_.clear();
            SendFailed(onFailure);
        }
    }
    StopTimer();
    out_.erase(0, sent);
    if (timedOut_) {
        Disconnect();
        throw ETimedOutError();
    }
    if (cancel_) {
        Disconnect();
        throw ECanceledError();
    }
}

void TMailBase::SendFailed(TSendFailure onFailure) {
    Disconnect();
    if (onFailure == TSendFailure::Canceled) throw ECanceledError();
    throw EMailError();
}

void TMailBase::ShowStatus(const std::string& text) {
    // Long transfers repeat the same text per line; the bar shows it once.
    if (statusShown_ && text == lastStatus_) return;
    statusShown_ = true;
    lastStatus_ = text;
    env_.display.ShowStatus(text);
}

void TMailBase::SetProgress(int percent) {
    if (percent == lastProgress_) return;
    lastProgress_ = percent;
    env_.display.SetProgress(percent);
    KeepAlive();
}
