#pragma once

#include <cstdint>
#include <string>
#include <vector>

class THeaderItem;

// One stored message as a complete RFC 5322 message that other programs
// read: the header from the record (addresses, subject, date, the read and
// answered state as "Status" and "X-Status"), the body as it was stored
// (rich text as text/rtf with a text/plain alternative of its text; a record
// of message type "Text" as plain text alone) and every attachment file as
// a base64 part. Lines end in CR LF.
class TExportMessage {
public:
    struct TResult {
        std::string bytes;
        std::vector<std::string> missing;  // attachment files that could not be read
    };

    // sender is the From of an outgoing record ("Name <address>"), whose
    // own fields name only its recipients; empty gives a group without
    // members.
    static TResult Build(const THeaderItem& record, const std::string& storedBody, const std::string& sender,
                         std::uint64_t number);

    // The envelope sender for an mbox "From " line: the address of From, or
    // "MAILER-DAEMON".
    static std::string EnvelopeSender(const THeaderItem& record, const std::string& sender);
    // An address list field with each display name encoded as the
    // standard requires when it is not plain ASCII (UTF-8 in, ASCII out).
    static std::string AddressField(const std::string& utf8);
};
