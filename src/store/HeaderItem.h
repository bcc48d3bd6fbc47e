#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/BoundedText.h"

// Status flags of a message, one bit each.
enum TMessageFlag : std::uint8_t {
    mfRead = 0x01,     // "R"   received and opened
    mfNew = 0x02,      // "NR"  received, not yet opened
    mfForward = 0x04,  // "FWD" received and forwarded
    mfReply = 0x08,    // "RE"  received and answered
    mfQueued = 0x10,   // "Q"   outgoing, waiting to be sent
    mfSent = 0x20,     // "S"   outgoing, sent
    mfAttach = 0x40,   // " ATT" has attachments
};

// The fields of a record, one bit each, as a change names them.
enum TRecordField : unsigned {
    rfSubject = 0x001,
    rfWho = 0x002,
    rfAddress = 0x004,
    rfDate = 0x008,
    rfFlags = 0x010,
    rfSignature = 0x020,
    rfMsgType = 0x040,
    rfServer = 0x080,
    rfAttachments = 0x100,
    rfCCList = 0x200,
    rfBCCList = 0x400,
    rfWindowHandle = 0x800,
};

// The header record of one stored message: what the message list shows, the
// addressing, the composition settings and where the body lies in the
// mailbox's message file. Texts are Windows-1252 bytes.
class THeaderItem {
public:
    std::int32_t Offset = 0;  // -1: body not stored yet
    std::int32_t Size = 0;
    std::int32_t Slack = 100;        // reserved bytes after the body
    std::int32_t WindowHandle = -1;  // window showing the message, -1 none
    std::uint8_t Flags = 0;
    TBoundedText Subject;
    TBoundedText Mailbox;  // not stored in the index line
    TBoundedText Who;
    TBoundedText Signature;
    TBoundedText Date;     // "mm/dd/yy hh:nn AM/PM"
    TBoundedText MsgType;  // "Text" or "RTF"
    TBoundedText Address;
    TBoundedText Server;
    std::string Attachments;  // full paths, each followed by 0x02
    std::string CCList;
    std::string BCCList;

    bool Has(TMessageFlag flag) const { return (Flags & flag) != 0; }

    // The status word stored in the index: the word of the highest of bits 0
    // to 5 that is set, then " ATT" when the message has attachments.
    static std::string StatusWord(std::uint8_t flags);
    // Flags of a stored status word: the first of "RE", "NR", "FWD", "R",
    // "Q", "S" the word begins with, plus mfAttach when " ATT" occurs in it.
    static std::uint8_t FlagsFromStatusWord(std::string_view word);

    // The "S" column: the first of "S", "NR", "Q", "RE", "FWD" that applies,
    // otherwise a single blank.
    std::string StatusText() const;
    // The "A" column: two blanks when the message has attachments.
    std::string AttachmentText() const;

    // The fields whose values differ between two records; where the body
    // lies and the mailbox are not fields of a change.
    static unsigned ChangedFields(const THeaderItem& before, const THeaderItem& after);

    friend bool operator==(const THeaderItem&, const THeaderItem&) = default;
};
