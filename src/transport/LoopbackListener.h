#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class IClock;
class IEventPump;

// A listening socket on 127.0.0.1 for the one request a browser sends back
// to the program (an OAuth2 redirect, RFC 8252 7.3). Requests for other
// paths (a browser's icon) are answered 404 and the wait goes on.
class TLoopbackListener {
public:
    TLoopbackListener();
    ~TLoopbackListener();
    TLoopbackListener(const TLoopbackListener&) = delete;
    TLoopbackListener& operator=(const TLoopbackListener&) = delete;

    // The port listened on; 0 when no socket could be had.
    std::uint16_t Port() const { return port_; }
    // Waits, letting the interface run, for a GET whose target begins with
    // prefix; answers it with page (HTML) and returns the target. Nothing
    // on time-out or when stopped() says so.
    std::optional<std::string> Await(const std::string& prefix, const std::string& page, IEventPump& pump,
                                     IClock& clock, int timeoutSeconds, const std::function<bool()>& stopped);

private:
    // The request line's target of one connection, read within a short
    // time; empty when none came.
    static std::string ReadTarget(int fd);
    static void Answer(int fd, const std::string& status, const std::string& page);

    int fd_ = -1;
    std::uint16_t port_ = 0;
};
