#include "phone/TelLink.h"

namespace tellink {

std::string FromNumber(std::string_view number) {
    std::string link = kScheme;
    bool any = false;
    for (const char c : number) {
        if (c >= '0' && c <= '9') {
            link += c;
        } else if (c == '+' && !any) {
            link += c;
        } else if (c == '*') {
            link += c;
        } else if (c == '#') {
            link += "%23";
        } else if (c == 'p' || c == 'P' || c == 'w' || c == 'W') {
            // A pause before anything dialed has nothing to wait for.
            if (!any) continue;
            link += static_cast<char>(c | 0x20);
        } else {
            continue;
        }
        any = true;
    }
    return link;
}

}  // namespace tellink
