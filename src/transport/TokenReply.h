#pragma once

#include <optional>
#include <string>
#include <string_view>

// What an OAuth2 token endpoint answers (RFC 6749 5.1 and 5.2): a JSON
// object with the tokens, or with an error code and its description.
struct TTokenReply {
    std::string accessToken;
    std::string refreshToken;  // empty: keep the one used
    long long expiresIn = 0;   // seconds; 0 when not said
    std::string error;         // "invalid_grant", ...; empty on success
    std::string errorDescription;

    bool Ok() const { return error.empty() && !accessToken.empty(); }
    // Nothing for text that is no JSON object; an object without a token or
    // an error counts as an error.
    static std::optional<TTokenReply> Parse(std::string_view json);
};
