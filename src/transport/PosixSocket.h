#pragma once

#include "transport/Socket.h"

// A non-blocking IPv4 stream socket, waited on with poll().
class TPosixSocket : public ISocket {
public:
    // Takes ownership of an open descriptor.
    explicit TPosixSocket(int fd) : fd_(fd) {}
    ~TPosixSocket() override;
    TPosixSocket(const TPosixSocket&) = delete;
    TPosixSocket& operator=(const TPosixSocket&) = delete;

    bool StartConnect(std::uint32_t address, std::uint16_t port) override;
    int ConnectResult() override;
    unsigned Wait(unsigned wanted, int timeoutMs) override;
    long Receive(char* buffer, std::size_t size) override;
    long Send(const char* data, std::size_t size) override;

private:
    int fd_;
};
