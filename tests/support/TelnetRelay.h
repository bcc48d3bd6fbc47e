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
    // Lets at most bytes pass from the server per 20 ms from now on, so that a
    // download lasts long enough to be stopped; 0 relays at full speed.
    void Throttle(std::size_t bytes) { throttle_ = bytes; }
    // Closes both connections as soon as the client's lines-th line after
    // the open line has reached the server: the server acts on that command
    // and the client never hears its answer. 0 never drops.
    void DropAfter(std::size_t lines) { dropAfter_ = lines; }
    // Bytes relayed from the server to the client so far.
    std::size_t Relayed() const { return relayed_; }
    // The line the client sent to open the connection.
    std::string OpenLine() const;

private:
    void Serve();
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::string openLine_;
    std::atomic<bool> openLineSet_{false};
    std::atomic<std::size_t> throttle_{0};
    std::atomic<std::size_t> relayed_{0};
    std::atomic<std::size_t> dropAfter_{0};
    std::thread thread_;
};
