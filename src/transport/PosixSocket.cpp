#include "transport/PosixSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>

#include "transport/Fingerprint.h"
#include "transport/TlsContext.h"

namespace {

bool IsAddress(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 || ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the
// server has gone; that would end the program. The signal is held back for
// this thread while OpenSSL runs and a SIGPIPE it raised is taken away, so
// the write fails with EPIPE and the connection is reported lost.
class TNoSigPipe {
public:
    TNoSigPipe() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~TNoSigPipe() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    TNoSigPipe(const TNoSigPipe&) = delete;
    TNoSigPipe& operator=(const TNoSigPipe&) = delete;

private:
    sigset_t pipe_;
    sigset_t old_;
    bool wasPending_ = false;
};

std::string Problem(long result) {
    switch (result) {
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return "The certificate was issued for another server name.";
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return "The certificate was issued by an authority this computer does not trust.";
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return "The certificate has expired.";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return "The certificate is not valid yet.";
        default:
            return std::string("The certificate could not be verified (") + X509_verify_cert_error_string(result) +
                   ").";
    }
}

}  // namespace

TPosixSocket::TPosixSocket(int fd, TEndpoint endpoint, std::shared_ptr<TTlsContext> tls)
    : fd_(fd), endpoint_(std::move(endpoint)), tls_(std::move(tls)) {}

TPosixSocket::~TPosixSocket() {
    if (ssl_) {
        // One try at a polite close; the socket is going either way.
        const TNoSigPipe guard;
        ERR_clear_error();
        SSL_shutdown(ssl_);
        SSL_free(ssl_);
        ERR_clear_error();
    }
    ::close(fd_);
}

bool TPosixSocket::StartConnect(std::uint32_t address, std::uint16_t port) {
    // Commands are single short writes answered by the server; waiting for
    // more bytes to fill a segment would only add a round of delay.
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return true;
    return errno == EINPROGRESS || errno == EINTR;
}

int TPosixSocket::ConnectResult() {
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0) return errno;
    if (error != 0) return error;
    sockaddr_in peer{};
    socklen_t peerLen = sizeof peer;
    return ::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &peerLen) == 0 ? 0 : ENOTCONN;
}

unsigned TPosixSocket::Wait(unsigned wanted, int timeoutMs) {
    // Records TLS has read ahead wait in its buffer, not in the socket. A
    // buffered piece of a record is no reason to read again before more
    // arrives: that would spin until the rest came.
    if (ssl_ && (wanted & kReadable) && !readNeedsWritable_ && !readStarved_ && SSL_has_pending(ssl_)) return kReadable;
    pollfd p{};
    p.fd = fd_;
    if (wanted & kReadable) p.events |= readNeedsWritable_ ? POLLOUT : POLLIN;
    if (wanted & kWritable) p.events |= writeNeedsReadable_ ? POLLIN : POLLOUT;
    if (::poll(&p, 1, timeoutMs) <= 0) return 0;
    unsigned got = 0;
    // A closed peer reads as the end of the stream, which the reader reports.
    if (p.revents & (POLLIN | POLLHUP)) got |= writeNeedsReadable_ ? kWritable : kReadable;
    if (p.revents & POLLOUT) got |= readNeedsWritable_ ? kReadable : kWritable;
    if (p.revents & (POLLERR | POLLNVAL)) got |= kFailed | (wanted & kWritable);
    return got & (wanted | kFailed);
}

long TPosixSocket::TlsResult(int ret, bool reading) {
    switch (SSL_get_error(ssl_, ret)) {
        case SSL_ERROR_WANT_READ:
            if (reading)
                readStarved_ = true;
            else
                writeNeedsReadable_ = true;
            return kWouldBlock;
        case SSL_ERROR_WANT_WRITE:
            if (reading) readNeedsWritable_ = true;
            return kWouldBlock;
        case SSL_ERROR_ZERO_RETURN:
            return 0;
        default:
            ERR_clear_error();
            return kError;
    }
}

long TPosixSocket::Receive(char* buffer, std::size_t size) {
    if (ssl_) {
        readNeedsWritable_ = false;
        std::size_t n = 0;
        ERR_clear_error();
        readStarved_ = false;
        const TNoSigPipe guard;  // a read may answer the server (a key update)
        const int ret = SSL_read_ex(ssl_, buffer, size, &n);
        return ret == 1 ? static_cast<long>(n) : TlsResult(ret, true);
    }
    const ssize_t n = ::recv(fd_, buffer, size, MSG_DONTWAIT);
    if (n >= 0) return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kError;
}

long TPosixSocket::Send(const char* data, std::size_t size) {
    if (ssl_) {
        writeNeedsReadable_ = false;
        std::size_t n = 0;
        const TNoSigPipe guard;
        ERR_clear_error();
        const int ret = SSL_write_ex(ssl_, data, size, &n);
        return ret == 1 ? static_cast<long>(n) : TlsResult(ret, false);
    }
    const ssize_t n = ::send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n >= 0) return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kError;
}

bool TPosixSocket::StartTls() {
    if (ssl_) return false;
    if (!tls_ || !tls_->Get()) {
        tlsFailure_ = tls_ ? tls_->Failure() : "TLS is not available.";
        return false;
    }
    ERR_clear_error();
    ssl_ = SSL_new(tls_->Get());
    if (!ssl_ || SSL_set_fd(ssl_, fd_) != 1) {
        tlsFailure_ = TTlsContext::TakeErrors();
        return false;
    }
    const std::string& host = endpoint_.host;
    // The name the certificate must carry: a DNS name (also sent as SNI),
    // or the address the user typed.
    bool named = false;
    if (IsAddress(host)) {
        named = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str()) == 1;
    } else {
        SSL_set_tlsext_host_name(ssl_, host.c_str());
        named = SSL_set1_host(ssl_, host.c_str()) == 1;
    }
    if (!named) {
        tlsFailure_ = "The server name \"" + host + "\" cannot be checked against a certificate.";
        return false;
    }
    SSL_set_connect_state(ssl_);
    return true;
}

ISocket::TTlsStep TPosixSocket::ContinueTls() {
    if (!ssl_) return TTlsStep::Failed;
    const TNoSigPipe guard;
    ERR_clear_error();
    const int ret = SSL_do_handshake(ssl_);
    if (ret == 1) return TTlsStep::Done;
    switch (SSL_get_error(ssl_, ret)) {
        case SSL_ERROR_WANT_READ:
            return TTlsStep::WantRead;
        case SSL_ERROR_WANT_WRITE:
            return TTlsStep::WantWrite;
        default:
            break;
    }
    tlsFailure_ = TTlsContext::TakeErrors();
    if (tlsFailure_.empty()) tlsFailure_ = "The server ended the connection during the TLS handshake.";
    return TTlsStep::Failed;
}

TPeerCertificate TPosixSocket::PeerCertificate() const {
    TPeerCertificate out;
    if (!ssl_) return out;
    X509* cert = SSL_get0_peer_certificate(ssl_);
    if (!cert) {
        out.problem = "The server sent no certificate.";
        return out;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(cert, EVP_sha256(), digest, &size) == 1) out.fingerprint = fingerprint::Format(digest, size);
    const long result = SSL_get_verify_result(ssl_);
    out.verified = result == X509_V_OK && !out.fingerprint.empty();
    if (!out.verified) out.problem = Problem(result);
    return out;
}
