// Arbitrary bytes as an mbox file and as a Maildir file name: the reader
// walks forward through every byte, each message lies inside the part of
// the file it took, and undoing the escaping only ever shortens a message.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "incoming/MboxReader.h"
#include "incoming/SourceStatus.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TMboxReader reader(text);
    TSourceMessage message;
    std::size_t position = 0, count = 0;
    while (reader.Next(message)) {
        if (reader.Position() <= position || reader.Position() > size) std::abort();
        if (message.offset < position || message.offset + message.rawSize != reader.Position()) std::abort();
        if (message.bytes.size() > message.rawSize) std::abort();
        (void)sourcestatus::FromHeader(sourcestatus::HeaderLines(message.bytes));
        position = reader.Position();
        if (++count > size) std::abort();  // every message takes at least one byte
    }
    // Only blank lines may be left behind.
    if (text.substr(position).find_first_not_of("\r\n") != std::string_view::npos) std::abort();
    const auto lf = text.find('\n');
    (void)sourcestatus::FromMaildirName(text.substr(0, lf), false);
    return 0;
}
