#pragma once

#include <cstddef>
#include <cstdint>

// One non-blocking TCP connection. The mail clients only ever talk to this
// interface, so tests can play a server's side byte for byte.
class ISocket {
public:
    // Events of Wait().
    static constexpr unsigned kReadable = 1;
    static constexpr unsigned kWritable = 2;  // also: a started connect has finished
    static constexpr unsigned kFailed = 4;
    // Results of Receive() and Send() besides a byte count.
    static constexpr long kWouldBlock = -1;
    static constexpr long kError = -2;

    virtual ~ISocket() = default;
    // Starts connecting to an IPv4 address (host order). False when the start
    // failed at once; otherwise the end of the connect shows as kWritable.
    virtual bool StartConnect(std::uint32_t address, std::uint16_t port) = 0;
    // 0 once the connection stands, else the reason (an errno value).
    virtual int ConnectResult() = 0;
    // Waits at most timeoutMs for any of the wanted events and returns those
    // that hold (kFailed whenever the connection is broken).
    virtual unsigned Wait(unsigned wanted, int timeoutMs) = 0;
    // Bytes received, 0 at the end of the stream, kWouldBlock or kError.
    virtual long Receive(char* buffer, std::size_t size) = 0;
    // Bytes accepted, kWouldBlock or kError.
    virtual long Send(const char* data, std::size_t size) = 0;
};
