#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The initial responses of the two SASL mechanisms that carry an OAuth2
// access token, base64-encoded as POP3 AUTH (RFC 5034) and SMTP AUTH
// (RFC 4954) send them.
namespace sasloauth {

// Google's and Microsoft's XOAUTH2: "user=U^Aauth=Bearer T^A^A".
std::string XOAuth2(std::string_view user, std::string_view token);
// RFC 7628 OAUTHBEARER: a GS2 header naming the user, then host, port and
// the token, each ended by ^A.
std::string OAuthBearer(std::string_view user, std::string_view host, std::uint16_t port, std::string_view token);
// What a client answers to a server's error challenge (a base64 JSON
// status) so that the server ends the exchange with its failure reply:
// OAUTHBEARER wants ^A (RFC 7628 3.2.3), XOAUTH2 an empty line.
std::string AbortAnswer(bool oauthBearer);

}  // namespace sasloauth
