#include "transport/HttpUrl.h"

#include <charconv>

std::optional<THttpUrl> THttpUrl::Parse(std::string_view url) {
    THttpUrl out;
    if (url.starts_with("https://")) {
        url.remove_prefix(8);
    } else if (url.starts_with("http://")) {
        url.remove_prefix(7);
        out.secure = false;
        out.port = 80;
    } else {
        return std::nullopt;
    }
    for (const char c : url)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F) return std::nullopt;
    const auto slash = url.find_first_of("/?");
    std::string_view authority = url.substr(0, slash);
    if (slash == std::string_view::npos)
        out.target = "/";
    else
        out.target = (url[slash] == '?' ? "/" : "") + std::string(url.substr(slash));
    if (authority.find('@') != std::string_view::npos) return std::nullopt;  // no user in the address
    const auto colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view digits = authority.substr(colon + 1);
        std::uint16_t port = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (ec != std::errc() || end != digits.data() + digits.size() || port == 0) return std::nullopt;
        out.port = port;
        authority = authority.substr(0, colon);
    }
    if (authority.empty()) return std::nullopt;
    out.host = std::string(authority);
    return out;
}
