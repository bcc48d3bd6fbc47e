#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// How an account's connections are protected.
//   None:     plain POP3 and SMTP (HELO, no authentication), as always.
//   StartTls: a plain connection upgraded at once (POP3 STLS, SMTP EHLO +
//             STARTTLS); refused when the server does not offer it.
//   Tls:      TLS from the first byte (POP3S, SMTP submission over TLS).
enum class TSecurity { None, StartTls, Tls };

namespace security {

// "None", "STARTTLS" or "TLS": the values kept in "Internet.ini".
std::string_view Name(TSecurity mode);
// Case is ignored; anything else gives nothing.
std::optional<TSecurity> Parse(std::string_view text);

// The ports a provider uses for each mode.
std::uint16_t StandardPopPort(TSecurity mode);
std::uint16_t StandardSmtpPort(TSecurity mode);
// The services database names of those ports.
const char* PopService(TSecurity mode);
const char* SmtpService(TSecurity mode);

// The port a "HOST:PORT" server field names, or nothing.
std::optional<std::uint16_t> PortOf(std::string_view server);
// The mode of an account that never had one set: servers named with the
// implicit-TLS ports (995, 465) were set up for TLS; every other account
// stays as it always worked.
TSecurity Implied(std::string_view popServer, std::string_view smtpServer);

}  // namespace security
