#include "support/TelnetRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <sstream>

namespace {

bool SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Waits for fd to be readable, giving up when stop is set.
bool WaitReadable(int fd, const std::atomic<bool>& stop) {
    pollfd p{fd, POLLIN, 0};
    while (!stop) {
        if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
}

}  // namespace

TTelnetRelay::TTelnetRelay() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at);
    socklen_t len = sizeof at;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &len);
    port_ = ntohs(at.sin_port);
    ::listen(listener_, 1);
    thread_ = std::thread([this] { Serve(); });
}

TTelnetRelay::~TTelnetRelay() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::string TTelnetRelay::OpenLine() const { return openLineSet_ ? openLine_ : std::string(); }

void TTelnetRelay::Serve() {
    if (!WaitReadable(listener_, stop_)) return;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    SendAll(client, "Relay ready\r\n");
    std::string line;
    char c;
    while (WaitReadable(client, stop_) && ::recv(client, &c, 1, 0) == 1 && c != '\n') line += c;
    openLine_ = line;
    openLineSet_ = true;
    std::istringstream words(line);
    std::string verb, host;
    int port = 0;
    words >> verb >> host >> port;
    SendAll(client, "Trying " + host + "...\r\n");
    const int target = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &to.sin_addr);
    if (::connect(target, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        SendAll(client, "telnet: Unable to connect to remote host: Connection refused\r\n");
    } else {
        pollfd p[2] = {{client, POLLIN, 0}, {target, POLLIN, 0}};
        char buffer[16384];
        bool open = true;
        std::size_t clientLines = 0;
        while (open && !stop_) {
            if (::poll(p, 2, 20) <= 0) continue;
            for (int i = 0; i < 2 && open; ++i) {
                if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                const std::size_t limit =
                    i == 1 && throttle_ > 0 ? std::min(sizeof buffer, throttle_.load()) : sizeof buffer;
                ssize_t n = ::recv(p[i].fd, buffer, limit, 0);
                bool drop = false;
                if (n > 0 && i == 0 && dropAfter_ > 0) {
                    // Only up to the end of the last line let through.
                    for (ssize_t k = 0; k < n; ++k) {
                        if (buffer[k] == '\n' && ++clientLines == dropAfter_) {
                            n = k + 1;
                            drop = true;
                            break;
                        }
                    }
                }
                open = n > 0 && SendAll(p[1 - i].fd, std::string(buffer, static_cast<std::size_t>(n))) && !drop;
                if (drop) {
                    // The server gets the whole command before the line goes.
                    ::shutdown(target, SHUT_WR);
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                if (open && i == 1) {
                    relayed_ += static_cast<std::size_t>(n);
                    if (throttle_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
            }
        }
    }
    ::close(target);
    ::close(client);
}
