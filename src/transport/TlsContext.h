#pragma once

#include <string>

typedef struct ssl_ctx_st SSL_CTX;

// The client side of OpenSSL for the sockets of one factory: TLS 1.2 or
// newer, the system's trust store (OpenSSL's default paths, so the
// SSL_CERT_FILE and SSL_CERT_DIR variables apply).
class TTlsContext {
public:
    TTlsContext();
    ~TTlsContext();
    TTlsContext(const TTlsContext&) = delete;
    TTlsContext& operator=(const TTlsContext&) = delete;

    // Nothing when OpenSSL could not be set up; Failure() tells why.
    SSL_CTX* Get() const { return ctx_; }
    const std::string& Failure() const { return failure_; }

    // OpenSSL's queued errors as one text, emptying the queue.
    static std::string TakeErrors();

private:
    SSL_CTX* ctx_ = nullptr;
    std::string failure_;
};
