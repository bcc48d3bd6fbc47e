#include "incoming/MessageStorer.h"

#include <cstdio>
#include <memory>

#include "book/FilterEngine.h"
#include "common/BoundedText.h"
#include "common/BusyFlag.h"
#include "incoming/MessageParser.h"
#include "store/MailStore.h"

int TMessageStorer::Store(TParsedMessage& message, const std::string& mailbox) {
    auto item = std::make_unique<THeaderItem>(message.record);
    std::string target = mailbox;
    filterengine::Apply(filters_, item->Address.str() + item->CCList, item->Subject.str(), filterengine::kIncoming,
                        message.body, target, TBoundedText::kLimit, actions_);
    item->Mailbox = target;
    const int node = store_.Tree().IndexOf(target);
    if (node >= 0) store_.MarkMailbox(node, true);

    THeaderItem* record = item.get();
    int handle;
    if (!store_.Viewed().empty() && store_.Viewed() == target) {
        TBusyLock lock(store_.Flags().listFill, store_.Pump());
        handle = store_.Headers().Add(std::move(item));
        store_.Rows().InsertTop(TMessageRow::Of(*record, handle));
    } else {
        handle = store_.Headers().Add(std::move(item));
    }
    if (store_.Files().SaveBody(*record, message.body)) std::remove(message.source.c_str());
    return handle;
}
