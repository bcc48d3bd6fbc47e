// Arbitrary command-line arguments (a "mailto:" link from the desktop, or
// anything else): the stored request has no blanks at its ends, storing it
// again changes nothing unless it still names the scheme, and what it asks
// for is a check or an address that is the stored text itself.
#include "app/CommandRequest.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/TextUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view argument(reinterpret_cast<const char*>(data), size);
    const std::string stored = TCommandRequest::FromArgument(argument);
    if (stored != text::Trim(stored)) std::abort();
    if (stored.size() > argument.size()) std::abort();
    if (text::FindNoCase(stored, "mailto:") == std::string::npos && TCommandRequest::FromArgument(stored) != stored)
        std::abort();
    const TCommandRequest request = TCommandRequest::Parse(stored);
    switch (request.kind) {
        case TCommandRequest::Kind::None:
            if (!stored.empty()) std::abort();
            break;
        case TCommandRequest::Kind::CheckMail:
            if (!request.address.empty()) std::abort();
            break;
        case TCommandRequest::Kind::WriteTo:
            if (request.address != stored) std::abort();
            break;
    }
    return 0;
}
