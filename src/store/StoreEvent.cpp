#include "store/StoreEvent.h"

#include "store/HeaderItem.h"

TStoreEvent TStoreEvent::OfRecord(TStoreChange change, int handle, const THeaderItem& record) {
    TStoreEvent event;
    event.change = change;
    event.mailbox = record.Mailbox.str();
    event.handle = handle;
    event.record = &record;
    return event;
}

TStoreEvent TStoreEvent::OfMailbox(TStoreChange change, const std::string& mailbox, const std::string& from) {
    TStoreEvent event;
    event.change = change;
    event.mailbox = mailbox;
    event.from = from;
    return event;
}
