#include "transport/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "common/Clock.h"
#include "common/EventPump.h"

namespace {

// A request line longer than this is no redirect of ours.
constexpr std::size_t kMaxRequest = 16 * 1024;
constexpr int kRequestMs = 3000;

}  // namespace

TLoopbackListener::TLoopbackListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof at;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(fd_, 8) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &len) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    port_ = ntohs(at.sin_port);
}

TLoopbackListener::~TLoopbackListener() {
    if (fd_ >= 0) ::close(fd_);
}

std::string TLoopbackListener::ReadTarget(int fd) {
    std::string request;
    for (int waited = 0; waited < kRequestMs && request.find("\r\n") == std::string::npos;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            waited += 50;
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
        if (request.size() > kMaxRequest) return {};
    }
    const auto lineEnd = request.find("\r\n");
    if (lineEnd == std::string::npos || !request.starts_with("GET ")) return {};
    const std::string line = request.substr(4, lineEnd - 4);
    const auto blank = line.find(' ');
    return line.substr(0, blank);
}

void TLoopbackListener::Answer(int fd, const std::string& status, const std::string& page) {
    const std::string reply = "HTTP/1.1 " + status +
                              "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n"
                              "Connection: close\r\nContent-Length: " +
                              std::to_string(page.size()) + "\r\n\r\n" + page;
    std::size_t sent = 0;
    for (int tries = 0; sent < reply.size() && tries < 100; ++tries) {
        const ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 20);
    }
}

std::optional<std::string> TLoopbackListener::Await(const std::string& prefix, const std::string& page,
                                                    IEventPump& pump, IClock& clock, int timeoutSeconds,
                                                    const std::function<bool()>& stopped) {
    if (fd_ < 0) return std::nullopt;
    const std::int64_t giveUp = clock.MonotonicMs() + static_cast<std::int64_t>(timeoutSeconds) * 1000;
    while (clock.MonotonicMs() < giveUp) {
        if (stopped && stopped()) return std::nullopt;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 5) <= 0) {
            pump.Pump();
            continue;
        }
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const std::string target = ReadTarget(client);
        if (!target.empty() && target.starts_with(prefix)) {
            Answer(client, "200 OK", page);
            ::close(client);
            return target;
        }
        Answer(client, "404 Not Found", "<!DOCTYPE html><title>Not found</title>");
        ::close(client);
    }
    return std::nullopt;
}
