#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "support/TempDir.h"

// An OAuth2 authorization server for the tests, on 127.0.0.1 (Python's
// http.server): /authorize (the user's consent is taken as given: it
// redirects to the loopback address with a code at once), /token
// (authorization code with PKCE S256, refresh token) and /introspect
// (RFC 7662, for the mail servers). It knows one client, "skfp-test" with
// secret "s3cret-client", and hands out access tokens that live
// lifetime seconds. Every request is a line of its log.
class TOAuthServer {
public:
    explicit TOAuthServer(int lifetime = 3600);
    ~TOAuthServer();
    TOAuthServer(const TOAuthServer&) = delete;
    TOAuthServer& operator=(const TOAuthServer&) = delete;

    bool Start();
    const std::string& Failure() const { return failure_; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // "authorize USER", "token authorization_code", "token refresh_token",
    // "introspect TOKEN active|inactive", one per line.
    std::string Log() const;
    // Makes every token handed out so far unknown (a revoked grant).
    void RevokeAll();

private:
    TTempDir dir_;
    int lifetime_;
    std::uint16_t port_ = 0;
    pid_t child_ = -1;
    std::string failure_;
};
