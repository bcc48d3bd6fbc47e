// Arbitrary bytes as a DNS answer: the SRV reader never reads beyond the
// message, every record it gives has a target made of printable labels,
// and the best record is one of them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "transport/SrvAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so a read past it is caught.
    const std::vector<unsigned char> message(data, data + size);
    const auto records = srvanswer::Parse(message.data(), message.size());
    for (const auto& r : records)
        if (r.target.size() > 1024) std::abort();
    if (const auto best = srvanswer::Best(records)) {
        bool listed = false;
        for (const auto& r : records) listed = listed || r == *best;
        if (!listed || best->target.empty() || best->port == 0) std::abort();
    }
    return 0;
}
