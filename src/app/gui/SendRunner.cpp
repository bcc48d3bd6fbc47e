#include "app/gui/SendRunner.h"

#include <QAction>
#include <QProgressBar>
#include <QTimer>

#include "common/Clock.h"
#include "common/gui/QtEventPump.h"
#include "common/gui/QtText.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "mail/MessageSender.h"
#include "store/MailStore.h"
#include "transport/PosixSocketFactory.h"

TSendRunner::TSendRunner(TMailStore& store, std::string dataFolder, QAction& stop, QProgressBar& progress,
                         StatusSink status, QObject* parent)
    : QObject(parent), store_(store), dataFolder_(std::move(dataFolder)), stop_(stop), progress_(progress),
      status_(std::move(status)) {
    connect(&stop_, &QAction::triggered, this, &TSendRunner::Cancel);
}

TSendRunner::~TSendRunner() = default;

std::vector<std::string> TSendRunner::SmtpAccounts(const std::string& dataFolder) {
    TAccountList accounts(dataFolder);
    accounts.Load();
    std::vector<std::string> out;
    for (const auto& account : accounts.Accounts())
        if (!account.smtpServer.empty()) out.push_back(account.alias);
    return out;
}

void TSendRunner::Cancel() {
    if (sender_) sender_->Cancel();
}

bool TSendRunner::Send(int handle, const std::vector<std::string>& attachments) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item || sender_) return false;
    TAccountList accounts(dataFolder_);
    accounts.Load();
    TMessageSender::TLists lists{listfile::Read(dataFolder_ + cfg::kAddressFile),
                                 listfile::Read(dataFolder_ + cfg::kSignatureFile),
                                 listfile::Read(dataFolder_ + cfg::kFilterFile)};
    TPosixSocketFactory net;
    TQtEventPump pump;
    TSystemClock clock;
    TMessageSender sender({net, pump, clock, store_.Prompt(), *this}, store_, accounts, std::move(lists),
                          *filterActions_);

    const bool timerWasOn = interval_ && interval_->isActive();
    if (interval_) interval_->stop();
    const bool stopWasOn = stop_.isEnabled();
    stop_.setEnabled(true);
    sender_ = &sender;
    emit RunningChanged(true);
    const bool sent = sender.SendMessage(*item, attachments);
    sender_ = nullptr;
    if (timerWasOn && interval_) interval_->start();
    stop_.setEnabled(stopWasOn);
    progress_.setValue(0);
    progress_.hide();
    emit RunningChanged(false);
    return sent;
}

void TSendRunner::ShowStatus(const std::string& text) { status_(qttext::FromStored(text)); }
void TSendRunner::SetProgress(int percent) { progress_.setValue(percent); }
void TSendRunner::ShowProgress(bool visible) { progress_.setVisible(visible); }
