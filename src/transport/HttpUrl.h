#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An http:// or https:// address as a request needs it.
struct THttpUrl {
    bool secure = true;
    std::string host;
    std::uint16_t port = 443;
    std::string target = "/";  // path and query

    // Nothing for another scheme, a missing host, a bad port, or characters
    // a request line cannot carry.
    static std::optional<THttpUrl> Parse(std::string_view url);
};
