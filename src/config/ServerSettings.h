#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/ServerSecurity.h"

// Where one server of an account is found: host, port and security.
struct TServerSettings {
    std::string host;
    std::uint16_t port = 0;
    TSecurity security = TSecurity::Tls;

    // The text of an account's server field: the host alone where the port
    // is the mode's usual one (standardPort gives it), else "HOST:PORT".
    std::string Field(std::uint16_t (*standardPort)(TSecurity)) const {
        if (port == 0 || port == standardPort(security)) return host;
        return host + ":" + std::to_string(port);
    }
    bool Empty() const { return host.empty(); }
    friend bool operator==(const TServerSettings&, const TServerSettings&) = default;
};
