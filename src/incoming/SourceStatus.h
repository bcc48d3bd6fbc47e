#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The state another program kept for a message it stored (read, answered,
// forwarded), as the store's status flags.
namespace sourcestatus {

// The header lines of a message held in memory, up to the first blank line,
// line ends removed.
std::vector<std::string> HeaderLines(std::string_view message);

// From the status fields mailbox files carry: "Status" (R read, O seen as
// old but unread), "X-Status" (A answered) and the "X-Mozilla-Status" bits.
// mfNew, mfRead, mfReply or mfForward; nothing when the header says nothing.
std::optional<std::uint8_t> FromHeader(const std::vector<std::string>& header);

// From a Maildir file: a message still in "new/" is unread; in "cur/" its
// name's info (":2," then flags) says S seen, R replied, P passed on.
std::uint8_t FromMaildirName(std::string_view fileName, bool inNew);

}  // namespace sourcestatus
