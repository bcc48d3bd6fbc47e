#include "transport/EndOfData.h"

#include <algorithm>
#include <cstring>

bool TEndOfData::Feed(std::string_view chunk) {
    if (chunk.empty()) return false;
    if (chunk.size() >= sizeof tail_) {
        std::memcpy(tail_, chunk.data() + chunk.size() - sizeof tail_, sizeof tail_);
    } else {
        const std::size_t keep = sizeof tail_ - chunk.size();
        std::memmove(tail_, tail_ + chunk.size(), keep);
        std::memcpy(tail_ + keep, chunk.data(), chunk.size());
    }
    // The server only stops sending at the end of an answer, so the end is
    // looked for where a receive ends, never inside one.
    return std::memcmp(tail_, "\r\n.\r\n", sizeof tail_) == 0;
}
