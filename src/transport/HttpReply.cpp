#include "transport/HttpReply.h"

#include <charconv>

#include "common/TextUtil.h"

namespace {

// The body of a chunked message (RFC 9112 7.1): hex sizes, extensions
// ignored, trailers ignored; nothing when a chunk runs past the end.
std::optional<std::string> Dechunk(std::string_view rest) {
    std::string body;
    for (;;) {
        const auto lineEnd = rest.find("\r\n");
        if (lineEnd == std::string_view::npos) return std::nullopt;
        std::string_view sizeText = rest.substr(0, lineEnd);
        if (const auto semi = sizeText.find(';'); semi != std::string_view::npos) sizeText = sizeText.substr(0, semi);
        while (!sizeText.empty() && (sizeText.back() == ' ' || sizeText.back() == '\t')) sizeText.remove_suffix(1);
        std::size_t size = 0;
        const auto [end, ec] = std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size, 16);
        if (ec != std::errc() || end != sizeText.data() + sizeText.size() || sizeText.empty()) return std::nullopt;
        rest.remove_prefix(lineEnd + 2);
        if (size == 0) return body;
        if (size > rest.size() || rest.size() - size < 2 || rest.substr(size, 2) != "\r\n") return std::nullopt;
        body.append(rest.substr(0, size));
        rest.remove_prefix(size + 2);
    }
}

}  // namespace

std::optional<THttpReply> THttpReply::Parse(std::string_view bytes) {
    const auto headEnd = bytes.find("\r\n\r\n");
    if (headEnd == std::string_view::npos || !bytes.starts_with("HTTP/1.")) return std::nullopt;
    const std::string_view head = bytes.substr(0, headEnd);
    std::string_view body = bytes.substr(headEnd + 4);
    THttpReply reply;
    const auto firstEnd = head.find("\r\n");
    const std::string_view statusLine = head.substr(0, firstEnd);
    const auto blank = statusLine.find(' ');
    if (blank == std::string_view::npos || statusLine.size() < blank + 4) return std::nullopt;
    const std::string_view code = statusLine.substr(blank + 1, 3);
    const auto [end, ec] = std::from_chars(code.data(), code.data() + 3, reply.status);
    if (ec != std::errc() || end != code.data() + 3 || reply.status < 100) return std::nullopt;

    bool chunked = false;
    std::optional<std::size_t> length;
    std::string_view fields = firstEnd == std::string_view::npos ? std::string_view() : head.substr(firstEnd + 2);
    while (!fields.empty()) {
        const auto lineEnd = fields.find("\r\n");
        const std::string_view line = fields.substr(0, lineEnd);
        fields.remove_prefix(lineEnd == std::string_view::npos ? fields.size() : lineEnd + 2);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = text::ToLowerAscii(line.substr(0, colon));
        const std::string value = text::ToLowerAscii(text::Trim(line.substr(colon + 1)));
        if (name == "transfer-encoding" && value.find("chunked") != std::string::npos) chunked = true;
        if (name == "content-length") {
            std::size_t n = 0;
            const auto [e, err] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (err != std::errc() || e != value.data() + value.size()) return std::nullopt;
            length = n;
        }
    }
    if (chunked) {
        auto whole = Dechunk(body);
        if (!whole) return std::nullopt;
        reply.body = std::move(*whole);
    } else if (length) {
        if (*length > body.size()) return std::nullopt;  // cut short
        reply.body = std::string(body.substr(0, *length));
    } else {
        reply.body = std::string(body);  // up to the end of the connection
    }
    return reply;
}
