#pragma once

#include <ctime>
#include <string>

// Dates and identities of outgoing mail (RFC 5322).
namespace maildate {

// "Mon, 07 Dec 2026 11:17:36 +0100" in local time, with English names
// whatever the locale.
std::string Rfc5322(std::time_t when);
// "<stamp.unique@domain>"; domain from the sender's address, else "localhost".
std::string MessageId(std::time_t when, const std::string& unique, const std::string& senderAddress);

}  // namespace maildate
