#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IFilterActions;
class TMailStore;

// What a new message starts with.
struct TNewMessage {
    std::string subject;
    std::string to;
    std::string mailbox = "Out Box";
    std::uint8_t flags = 0;  // the caller gives mfQueued
    std::vector<std::string> body;
    std::string date;         // display form, made by the caller from now
    std::string attachments;  // paths, each followed by 0x02
    std::string cc, bcc;
};

// Creates stored messages: the record with the defaults of new messages,
// run through the outgoing filters (which may choose another mailbox), its
// row when that mailbox is viewed, and the body saved with the index. Every
// window that writes a message starts here; opening the composer is theirs.
class TMessageCreator {
public:
    // The longest mailbox name a filter may set.
    static constexpr std::size_t kMailboxLimit = 255;

    TMessageCreator(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions)
        : store_(store), filters_(filters), actions_(actions) {}

    // The new record's handle. A body that cannot be saved was shown by the
    // store; the record then stays without a body.
    int CreateMessage(const TNewMessage& message);

    // The stored form of a body: every line followed by CR LF.
    static std::string BodyText(const std::vector<std::string>& lines);

private:
    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
};
