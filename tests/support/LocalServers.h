#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

// A free TCP port on 127.0.0.1 (free when asked; taken by the next bind).
std::uint16_t FreeLoopbackPort();
// Waits until something accepts connections on 127.0.0.1:port.
bool WaitForListener(std::uint16_t port, int seconds);

// A real Dovecot POP3 server with its own configuration, one passwd-file
// user and a Maildir, all in a temporary folder, listening on 127.0.0.1 only.
// Stopped (and everything removed) when the object goes.
class TDovecotServer {
public:
    TDovecotServer(std::string user, std::string password);
    ~TDovecotServer();
    TDovecotServer(const TDovecotServer&) = delete;
    TDovecotServer& operator=(const TDovecotServer&) = delete;

    // Serves TLS with this certificate: POP3S on TlsPort() and STLS on
    // Port(). Called before Start().
    void EnableTls(const std::string& certFile, const std::string& keyFile);
    // Signs users in with OAuth2 tokens only (SASL XOAUTH2, OAUTHBEARER),
    // each checked at an introspection endpoint (RFC 7662, by POST).
    // Called before Start().
    void EnableOAuth2(const std::string& introspectionUrl) { introspectionUrl_ = introspectionUrl; }
    // Starts the server; Failure() then tells why it did not.
    bool Start();
    std::uint16_t TlsPort() const { return tlsPort_; }
    // What the server logged so far (logins and their attempts included).
    std::string Log() const;
    const std::string& Failure() const { return failure_; }
    std::uint16_t Port() const { return port_; }
    // Puts a message (LF line ends, as Dovecot stores them) into the mailbox.
    void AddMessage(const std::string& content);
    // The bytes RETR sends for a stored message: CR LF line ends, leading
    // dots doubled, and the terminating line.
    static std::string WireForm(const std::string& content);
    std::size_t MessagesOnServer() const;

private:
    void Stop();
    TTempDir dir_;
    std::string user_, password_;
    std::uint16_t port_ = 0;
    std::uint16_t tlsPort_ = 0;
    std::string certFile_, keyFile_;
    std::string introspectionUrl_;
    pid_t master_ = -1;
    std::string failure_;
    int added_ = 0;
    uid_t mailUid_ = 0;
    gid_t mailGid_ = 0;
};

// How a TSmtpSink talks: plain, TLS from the first byte, or STARTTLS on
// offer; with a user, it wants a login (inside TLS only) before MAIL.
struct TSmtpSinkOptions {
    enum class TMode { Plain, ImplicitTls, StartTls } mode = TMode::Plain;
    std::string certFile, keyFile;
    std::string user, password;
    // Set: logins are SASL XOAUTH2 whose token this endpoint (RFC 7662)
    // says is active for the user.
    std::string introspectionUrl{};
};

// An SMTP server written by others (aiosmtpd, run by the system's own
// interpreter) that stores every message it accepts as msgN.eml and its
// envelope as envN.txt ("FROM\nRCPT\n..."). Recipients beginning with
// "reject" are refused. Every login attempt is a line of auth.log
// ("MECHANISM LOGIN ok|refused").
// With an introspection endpoint, the login is XOAUTH2 or OAUTHBEARER.
class TSmtpSink {
public:
    explicit TSmtpSink(TSmtpSinkOptions options = {});
    ~TSmtpSink();
    TSmtpSink(const TSmtpSink&) = delete;
    TSmtpSink& operator=(const TSmtpSink&) = delete;

    bool Start();
    const std::string& Failure() const { return failure_; }
    std::uint16_t Port() const { return port_; }
    std::string Folder() const { return dir_.Path(); }
    std::string AuthLog() const;

private:
    TSmtpSinkOptions options_;
    TTempDir dir_;
    std::uint16_t port_ = 0;
    pid_t child_ = -1;
    int stdinFd_ = -1;
    std::string failure_;
};
