// Arbitrary bytes as a list file: parsing never crashes, and what it reads
// writes back to text that parses to the same rows.
#include "common/ListFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto rows = listfile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto again = listfile::Parse(listfile::Format(rows));
    // Rows whose fields hold a bare CR or LF cannot survive; the rest must.
    bool plain = true;
    for (const auto& r : rows) {
        auto check = [&](const std::string& s) { plain = plain && s.find_first_of("\r\n") == std::string::npos; };
        check(r.caption);
        for (const auto& s : r.subItems) check(s);
    }
    if (plain && again != rows) std::abort();
    return 0;
}
