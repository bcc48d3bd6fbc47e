#include "transport/PosixSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

TPosixSocket::~TPosixSocket() { ::close(fd_); }

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
    pollfd p{};
    p.fd = fd_;
    if (wanted & kReadable) p.events |= POLLIN;
    if (wanted & kWritable) p.events |= POLLOUT;
    if (::poll(&p, 1, timeoutMs) <= 0) return 0;
    unsigned got = 0;
    // A closed peer reads as the end of the stream, which the reader reports.
    if (p.revents & (POLLIN | POLLHUP)) got |= kReadable;
    if (p.revents & POLLOUT) got |= kWritable;
    if (p.revents & (POLLERR | POLLNVAL)) got |= kFailed | (wanted & kWritable);
    return got & (wanted | kFailed);
}

long TPosixSocket::Receive(char* buffer, std::size_t size) {
    const ssize_t n = ::recv(fd_, buffer, size, MSG_DONTWAIT);
    if (n >= 0) return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kError;
}

long TPosixSocket::Send(const char* data, std::size_t size) {
    const ssize_t n = ::send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n >= 0) return static_cast<long>(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kError;
}
