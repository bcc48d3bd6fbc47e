#pragma once

#include <cstdint>
#include <string>

class THeaderItem;

// What a change of the store did.
enum class TStoreChange {
    RecordAdded,       // a new record, its body stored (or none given)
    RecordChanged,     // fields of a record changed where it is (fields says which)
    BodyRewritten,     // a record's body was replaced
    RecordMoved,       // a record went from one mailbox to another (from is the source)
    RecordRemoved,     // a record was destroyed (record is valid during the call only)
    MailboxLoaded,     // a mailbox's records were read from its index
    MailboxCompacted,  // the bodies of a mailbox were rewritten closer together
    MailboxCreated,
    MailboxRenamed,  // from is the old name, mailbox the new one
    MailboxDeleted,  // its records were removed first, each announced
};

// One change of the store, as its listeners are told. Enough to follow the
// store without asking it again: an index keeps its copy in step from these
// alone.
struct TStoreEvent {
    TStoreChange change = TStoreChange::RecordChanged;
    std::string mailbox;                  // the record's mailbox after the change, or the mailbox concerned
    int handle = -1;                      // the record's handle; -1 for a change of a whole mailbox
    std::string from;                     // RecordMoved: the source mailbox; MailboxRenamed: the old name
    unsigned fields = 0;                  // RecordChanged: TRecordField bits of the fields that differ
    std::uint8_t flagsBefore = 0;         // RecordChanged: the status flags the record had
    const THeaderItem* record = nullptr;  // the record as it is now (as it was, when removed)

    // A change of one record, in the mailbox the record names.
    static TStoreEvent OfRecord(TStoreChange change, int handle, const THeaderItem& record);
    // A change of a whole mailbox.
    static TStoreEvent OfMailbox(TStoreChange change, const std::string& mailbox, const std::string& from = {});
};
