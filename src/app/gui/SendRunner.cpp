#include "app/gui/SendRunner.h"

#include "app/gui/TransferState.h"
#include "common/Clock.h"
#include "common/gui/QtEventPump.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "mail/MessageSender.h"
#include "store/MailStore.h"
#include "transport/PosixSocketFactory.h"

TSendRunner::TSendRunner(TMailStore& store, std::string dataFolder, TTransferState& transfers, QObject* parent)
    : QObject(parent), store_(store), dataFolder_(std::move(dataFolder)), transfers_(transfers) {}

TSendRunner::~TSendRunner() = default;

std::vector<std::string> TSendRunner::SmtpAccounts(const std::string& dataFolder) {
    return TAccountList::Read(dataFolder).SmtpAliases();
}

void TSendRunner::Cancel() {
    if (sender_) sender_->Cancel();
}

bool TSendRunner::Send(int handle, const std::vector<std::string>& attachments, TAccountList& accounts) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item || sender_) return false;
    TPosixSocketFactory net;
    TQtEventPump pump;
    TSystemClock clock;
    TMessageSender sender({net, pump, clock, store_.Prompt(), transfers_.Display(TTransferState::TKind::Send)}, store_,
                          accounts, TMessageSender::TLists::Read(dataFolder_), *filterActions_);

    sender_ = &sender;
    transfers_.Begin(TTransferState::TKind::Send, [this] { Cancel(); });
    emit RunningChanged(true);
    const bool sent = sender.SendMessage(*item, attachments);
    sender_ = nullptr;
    transfers_.End(TTransferState::TKind::Send);
    emit RunningChanged(false);
    return sent;
}
