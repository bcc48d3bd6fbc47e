#include "transport/ProbeNotes.h"

void TProbeNotes::Keep(const std::string& text) {
    // The boxes put each part on a line of its own, ended by "\n\r".
    const auto at = text.find("Reason: ");
    if (at == std::string::npos) {
        reason_ = text;
        return;
    }
    const auto start = at + 8;
    const auto end = text.find_first_of("\r\n", start);
    reason_ = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
