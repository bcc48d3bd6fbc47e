#pragma once

#include <string>
#include <string_view>

// How the seen file tells one message on the server from every other. A
// line of the seen file is one of:
//   "UIDL " + the server's unique id of the message (RFC 1939), when the
//            server offers UIDL;
//   "HEAD " + the message's first "Received:" field, unfolded, then a blank
//            and its "Message-ID:" field, unfolded (without a Received
//            field: its Date field; with neither: the whole header without
//            line ends);
//   anything else: the identity versions before these two wrote, taken by
//            Legacy() below.
namespace messageidentity {

std::string FromUid(std::string_view uid);
// header: the header block as TOP sent it (CR LF line ends, maybe followed
// by the terminating "." line).
std::string FromHeader(std::string_view header);
// The identity older versions recorded: from the first "Received:" (exact
// case) to the end of its physical line; else from the first "date" in any
// case to the end of its line; else the whole header with every CR and the
// character after it removed.
std::string Legacy(std::string_view header);
// Whether a seen-file line was written in the current form.
bool IsCurrent(std::string_view line);
// Whether a seen-file line names the message by the server's unique id.
bool IsUid(std::string_view line);

}  // namespace messageidentity
