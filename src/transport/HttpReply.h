#pragma once

#include <optional>
#include <string>
#include <string_view>

// An HTTP/1.x response read whole (the request asked the server to close
// the connection after it): the status and the body, undone from chunked
// transfer coding. Nothing for bytes that are no complete response.
struct THttpReply {
    int status = 0;
    std::string body;

    static std::optional<THttpReply> Parse(std::string_view bytes);
};
