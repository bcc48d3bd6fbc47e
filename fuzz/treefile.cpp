// Arbitrary bytes as a mailbox tree file: reading never crashes, depths
// never jump by more than one, and what was read writes back to a file that
// reads as the same nodes.
#include "store/TreeFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto read = TTreeFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    int previous = -1;
    bool plain = true;
    for (const auto& n : read.nodes) {
        if (n.depth > previous + 1 || n.name.empty()) std::abort();
        previous = n.depth;
        // A name with a line break, or one that is only the end-of-file
        // mark, cannot survive a round trip.
        plain = plain && n.name.find_first_of("\r\n") == std::string::npos && n.name != "\x1A";
    }
    if (plain && TTreeFile::Parse(TTreeFile::Format(read.nodes)).nodes != read.nodes) std::abort();
    return 0;
}
