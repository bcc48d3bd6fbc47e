#include "config/ServerSecurity.h"

#include <algorithm>
#include <charconv>

#include "common/TextUtil.h"

namespace security {

std::string_view Name(TSecurity mode) {
    switch (mode) {
        case TSecurity::StartTls:
            return "STARTTLS";
        case TSecurity::Tls:
            return "TLS";
        case TSecurity::None:
            break;
    }
    return "None";
}

std::optional<TSecurity> Parse(std::string_view text) {
    for (const TSecurity mode : {TSecurity::None, TSecurity::StartTls, TSecurity::Tls})
        if (text::EqualsNoCase(text, Name(mode))) return mode;
    return std::nullopt;
}

std::uint16_t StandardPopPort(TSecurity mode) { return mode == TSecurity::Tls ? 995 : 110; }

std::uint16_t StandardSmtpPort(TSecurity mode) {
    switch (mode) {
        case TSecurity::StartTls:
            return 587;
        case TSecurity::Tls:
            return 465;
        case TSecurity::None:
            break;
    }
    return 25;
}

const char* PopService(TSecurity mode) { return mode == TSecurity::Tls ? "pop3s" : "pop3"; }

const char* SmtpService(TSecurity mode) {
    switch (mode) {
        case TSecurity::StartTls:
            return "submission";
        case TSecurity::Tls:
            return "submissions";
        case TSecurity::None:
            break;
    }
    return "smtp";
}

std::optional<std::uint16_t> PortOf(std::string_view server) {
    const auto colon = server.rfind(':');
    if (colon == std::string_view::npos || colon + 1 == server.size()) return std::nullopt;
    std::uint16_t port = 0;
    const char* first = server.data() + colon + 1;
    const char* last = server.data() + server.size();
    const auto [end, ec] = std::from_chars(first, last, port);
    if (ec != std::errc() || end != last || port == 0) return std::nullopt;
    return port;
}

TSecurity Implied(std::string_view popServer, std::string_view smtpServer) {
    if (PortOf(popServer) == std::uint16_t{995} || PortOf(smtpServer) == std::uint16_t{465}) return TSecurity::Tls;
    return TSecurity::None;
}

}  // namespace security
