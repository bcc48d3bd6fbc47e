#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What one outgoing message says: the sender and recipients as the user
// wrote them ("Name <address>", "address (Name)" or a bare address), the
// subject, the body lines and the files to attach. Texts are UTF-8 (a byte
// that is not read as Windows-1252); attachment paths are this system's file
// names. Text that Windows-1252 holds goes out in it, as it always did;
// other text as UTF-8.
struct TOutgoingMessage {
    // 0: the body lines are rich-text source; 1: plain text.
    std::uint8_t BodyType = 0;
    std::vector<std::string> Attachments;  // full paths, in order
    std::vector<std::string> Body;         // one entry per line
    bool Utf8Body = false;                 // the lines are UTF-8, not Windows-1252
    std::vector<std::string> BCCList, CCList, ToList;
    std::uint8_t Priority = 1;  // 0 low, 1 normal, 2 high
    std::string Subject;
    std::string From;  // nickname + " <" + return address + ">"

    // The envelope of the message: the sender's address, and the address of
    // every recipient, To, CC and BCC in that order (BCC appears nowhere else).
    std::string EnvelopeFrom() const;
    std::vector<std::string> EnvelopeRecipients() const;
};
