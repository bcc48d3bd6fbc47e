// Arbitrary bytes as an HTTP response and as a token endpoint's JSON: the
// readers never crash, a body never holds more than the bytes given, and
// a token taken holds printable characters only.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "transport/HttpReply.h"
#include "transport/TokenReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (const auto reply = THttpReply::Parse(input)) {
        if (reply->body.size() > input.size() || reply->status < 100) std::abort();
        (void)TTokenReply::Parse(reply->body);
    }
    if (const auto token = TTokenReply::Parse(input)) {
        for (const char c : token->accessToken + token->refreshToken)
            if (c < 0x20 || c > 0x7E) std::abort();
        if (token->Ok() && !token->error.empty()) std::abort();
    }
    return 0;
}
