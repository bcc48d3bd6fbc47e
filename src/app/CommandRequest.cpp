#include "app/CommandRequest.h"

#include "common/TextUtil.h"

std::string TCommandRequest::FromArgument(std::string_view argument) {
    std::string request(argument);
    // The seven characters are removed from the front whatever precedes the
    // scheme, as the original did; a link always begins with it.
    if (text::FindNoCase(request, "mailto:") != std::string::npos) request.erase(0, 7);
    return text::Trim(request);
}

TCommandRequest TCommandRequest::Parse(std::string_view stored) {
    TCommandRequest r;
    if (stored.empty()) return r;
    if (text::FindNoCase(stored, "/c") != std::string_view::npos) {
        r.kind = Kind::CheckMail;
    } else {
        r.kind = Kind::WriteTo;
        r.address = std::string(stored);
    }
    return r;
}
