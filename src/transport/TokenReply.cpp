#include "transport/TokenReply.h"

#include <cstdlib>
#include <nlohmann/json.hpp>

namespace {

// A string member, or empty for anything else; tokens are printable
// ASCII (RFC 6749 A.12, A.17), anything else would reach a command line.
std::string Text(const nlohmann::json& object, const char* name, bool token) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string()) return {};
    std::string value = it->get<std::string>();
    if (token)
        for (const char c : value)
            if (c < 0x20 || c > 0x7E) return {};
    return value;
}

}  // namespace

std::optional<TTokenReply> TTokenReply::Parse(std::string_view json) {
    // Without exceptions: a malformed text gives a discarded value.
    const nlohmann::json object = nlohmann::json::parse(json, nullptr, false);
    if (object.is_discarded() || !object.is_object()) return std::nullopt;
    TTokenReply reply;
    reply.accessToken = Text(object, "access_token", true);
    reply.refreshToken = Text(object, "refresh_token", true);
    reply.error = Text(object, "error", true);
    reply.errorDescription = Text(object, "error_description", false);
    if (const auto it = object.find("expires_in"); it != object.end()) {
        // Some servers send the number as a string.
        if (it->is_number_integer())
            reply.expiresIn = it->get<long long>();
        else if (it->is_string())
            reply.expiresIn = std::atoll(it->get<std::string>().c_str());
        if (reply.expiresIn < 0) reply.expiresIn = 0;
    }
    if (reply.error.empty() && reply.accessToken.empty()) reply.error = "no access token in the answer";
    return reply;
}
