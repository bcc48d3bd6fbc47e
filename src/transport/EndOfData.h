#pragma once

#include <cstddef>
#include <string_view>

// Recognises the end of a POP3 multi-line answer: a line holding a single
// "." after the status line, however the bytes are split over receives.
// The status line's own line end counts as the line end before the ".", so
// an empty answer is recognised too.
class TEndOfData {
public:
    // Feeds the next received bytes; true once the answer ended with them.
    bool Feed(std::string_view chunk);

private:
    // The last bytes seen, newest last.
    char tail_[5] = {0, 0, 0, '\r', '\n'};
};
