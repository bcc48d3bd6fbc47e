#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A small telnet-style proxy on 127.0.0.1 for one connection: it greets,
// takes "open HOST PORT", connects there and relays both ways; when the
// target refuses, it says "Connection refused" as telnet does.
class TTelnetRelay {
public:
    TTelnetRelay();
    ~TTelnetRelay();
    TTelnetRelay(const TTelnetRelay&) = delete;
    TTelnetRelay& operator=(const TTelnetRelay&) = delete;

    std::uint16_t Port() const { return port_; }
    // The line the client sent to open the connection.
    std::string OpenLine() const;

private:
    void Serve();
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::string openLine_;
    std::atomic<bool> openLineSet_{false};
    std::thread thread_;
};
