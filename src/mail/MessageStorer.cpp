#include "mail/MessageStorer.h"

#include "book/FilterEngine.h"
#include "common/BoundedText.h"
#include "common/UserPrompt.h"
#include "incoming/DownloadFile.h"
#include "incoming/MessageParser.h"
#include "store/MailStore.h"

TNewRecord TMessageStorer::Filtered(TParsedMessage& message, const std::string& mailbox) {
    TNewRecord added{message.record, message.body};
    std::string target = mailbox;
    filterengine::Apply(filters_, added.record.Address.str() + added.record.CCList, added.record.Subject.str(),
                        filterengine::kIncoming, message.body, target, TBoundedText::kLimit, actions_);
    added.record.Mailbox = target;
    return added;
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
    std::vector<TNewRecord> batch;
    batch.reserve(messages.size());
    for (auto& message : messages) batch.push_back(Filtered(message, mailbox));
    // The new mail is counted as it is stored rather than when downloaded,
    // so that files left over from an earlier session count too.
    return store_.AddRecords(batch, handles);
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
