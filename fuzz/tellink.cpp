// Arbitrary address-book text as a phone number: the link is always a
// "tel:" link of dialable characters only, with "+" only in front and no
// pause before the first digit, and building it again from what it dials
// gives the same link.
#include "phone/TelLink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string number(reinterpret_cast<const char*>(data), size);
    const std::string link = tellink::FromNumber(number);
    if (link.rfind("tel:", 0) != 0) std::abort();
    std::string dialed;
    for (std::size_t i = 4; i < link.size(); ++i) {
        const char c = link[i];
        if (link.compare(i, 3, "%23") == 0) {
            dialed += '#';
            i += 2;
        } else if ((c >= '0' && c <= '9') || c == '*' || (c == '+' && i == 4) || ((c == 'p' || c == 'w') && i > 4)) {
            dialed += c;
        } else {
            std::abort();
        }
    }
    if (tellink::FromNumber(dialed) != link) std::abort();
    return 0;
}
