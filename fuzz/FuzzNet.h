#pragma once

// A network for the transport fuzz targets: every connection reads the
// fuzzer's input, as pieces of one receive each, and takes whatever is sent.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transport/HostLookup.h"
#include "transport/SocketFactory.h"

namespace fuzznet {

// The input, as pieces of one receive each: a length byte, then that many bytes.
class TFuzzSocket : public ISocket {
public:
    TFuzzSocket(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool StartConnect(std::uint32_t, std::uint16_t) override { return true; }
    int ConnectResult() override { return 0; }
    unsigned Wait(unsigned wanted, int) override { return wanted & (kReadable | kWritable); }
    long Receive(char* buffer, std::size_t size) override {
        if (pos_ >= size_) return 0;
        const std::size_t length = data_[pos_++];
        std::size_t n = std::min<std::size_t>(length, size_ - pos_);
        if (n == 0) return kWouldBlock;
        n = std::min(n, size);
        std::copy(data_ + pos_, data_ + pos_ + n, buffer);
        pos_ += n;
        return static_cast<long>(n);
    }
    long Send(const char*, std::size_t size) override { return static_cast<long>(size); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class TFuzzNet : public ISocketFactory {
public:
    TFuzzNet(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::unique_ptr<IHostLookup> LookupHost(const std::string&) override { return nullptr; }
    std::optional<std::uint16_t> LookupService(const std::string&) override { return 110; }
    std::unique_ptr<ISocket> Open(const TEndpoint&) override { return std::make_unique<TFuzzSocket>(data_, size_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace fuzznet
