#include "transport/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

TTlsContext::TTlsContext() {
    ctx_ = SSL_CTX_new(TLS_client_method());
    if (!ctx_) {
        failure_ = TakeErrors();
        return;
    }
    SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    // The certificate is judged after the handshake, so that an untrusted
    // one can be shown to the user before anything else is sent.
    SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);
    if (SSL_CTX_set_default_verify_paths(ctx_) != 1) failure_ = TakeErrors();
    // Sends are retried with the rest of a buffer that may have moved; a
    // partial write lets the socket's own flow control work as without TLS.
    SSL_CTX_set_mode(ctx_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // Reading whole socket buffers instead of one record header at a time
    // halves the system calls of a download.
    SSL_CTX_set_read_ahead(ctx_, 1);
    // Many servers close without a TLS close message; the mail protocols
    // know their own ends.
    SSL_CTX_set_options(ctx_, SSL_OP_IGNORE_UNEXPECTED_EOF);
}

TTlsContext::~TTlsContext() { SSL_CTX_free(ctx_); }

std::string TTlsContext::TakeErrors() {
    std::string out;
    while (const unsigned long e = ERR_get_error()) {
        char text[256];
        ERR_error_string_n(e, text, sizeof text);
        if (!out.empty()) out += "; ";
        out += text;
    }
    return out;
}
