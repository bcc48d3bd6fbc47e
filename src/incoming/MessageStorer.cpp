#include "incoming/MessageStorer.h"

#include <cstdio>
#include <memory>

#include "book/FilterEngine.h"
#include "common/BoundedText.h"
#include "common/BusyFlag.h"
#include "common/UserPrompt.h"
#include "incoming/DownloadFile.h"
#include "incoming/MessageParser.h"
#include "store/MailStore.h"

int TMessageStorer::Add(TParsedMessage& message, const std::string& mailbox) {
    auto item = std::make_unique<THeaderItem>(message.record);
    std::string target = mailbox;
    filterengine::Apply(filters_, item->Address.str() + item->CCList, item->Subject.str(), filterengine::kIncoming,
                        message.body, target, TBoundedText::kLimit, actions_);
    item->Mailbox = target;
    const int node = store_.Tree().IndexOf(target);
    if (node >= 0) store_.MarkMailbox(node, true);
    // Counted here rather than when downloaded, so that files left over
    // from an earlier session count too.
    if (item->Has(mfNew)) store_.Tip().Raise();

    const THeaderItem& record = *item;
    if (!store_.Viewed().empty() && store_.Viewed() == target) {
        TBusyLock lock(store_.Flags().listFill, store_.Pump());
        const int handle = store_.Headers().Add(std::move(item));
        // Without the flag the record is stored all the same; its row comes
        // when the mailbox is shown again.
        if (lock.Held()) store_.Rows().InsertTop(TMessageRow::Of(record, handle));
        return handle;
    }
    return store_.Headers().Add(std::move(item));
}

std::vector<int> TMessageStorer::Store(std::vector<TParsedMessage>& messages, const std::string& mailbox) {
    std::vector<int> handles;
    TBodyAppend bodies = Write(messages, mailbox, handles);
    Release(messages, bodies);
    if (bodies.Failed()) store_.Prompt().Error(TMailboxFiles::SaveIndexError());
    return handles;
}

TBodyAppend TMessageStorer::Write(std::vector<TParsedMessage>& messages, const std::string& mailbox,
                                  std::vector<int>& handles) {
    std::vector<TMailboxFiles::TNewBody> bodies;
    handles.reserve(handles.size() + messages.size());
    bodies.reserve(messages.size());
    for (auto& message : messages) {
        handles.push_back(Add(message, mailbox));
        bodies.push_back({store_.Headers().At(handles.back()), message.body});
    }
    store_.RefreshTip();
    return store_.Files().WriteBodies(bodies);
}

bool TMessageStorer::Release(std::vector<TParsedMessage>& messages, TBodyAppend& bodies) {
    const std::vector<bool>& stored = bodies.Settle();
    bool all = true;
    // A message's download file goes when the last owner of it lets go
    // (the batch or the last of its attachment threads), and only when
    // nothing of the message was lost.
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].download && stored[i])
            messages[i].download->Stored();
        else if (!stored[i])
            all = false;
    }
    return all;
}
