#include "app/gui/MailCheckController.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "app/CheckInterval.h"
#include "app/gui/CheckAccounts.h"
#include "app/gui/DesktopNotifier.h"
#include "app/gui/DialogPasswordPrompt.h"
#include "app/gui/TransferState.h"
#include "common/Clock.h"
#include "common/gui/QtEventPump.h"
#include "common/gui/QtText.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "config/gui/KeychainStore.h"
#include "mail/MailCheck.h"
#include "transport/NoDialUp.h"
#include "transport/PosixSocketFactory.h"

struct TMailCheckController::Parts {
    Parts(const std::string& dataFolder, QWidget* window)
        : passwords(window), secrets(cfg::kKeyringService), accounts(dataFolder, &secrets) {}
    TPosixSocketFactory net;
    TSystemClock clock;
    TQtEventPump pump;
    TDialogPasswordPrompt passwords;
    TNoDialUp dialUp;
    TDesktopNotifier notifier;
    TKeychainStore secrets;
    TAccountList accounts;
};

TMailCheckController::TMailCheckController(TIniFile& config, IUserPrompt& prompt, std::string dataFolder,
                                           TControls controls, TTransferState& transfers, QWidget* window)
    : QObject(window),
      config_(config),
      prompt_(prompt),
      dataFolder_(std::move(dataFolder)),
      controls_(controls),
      transfers_(transfers),
      window_(window),
      parts_(std::make_unique<Parts>(dataFolder_, window)) {
    InternetTimer.setObjectName(QStringLiteral("InternetTimer"));
    transfers_.HoldTimer(InternetTimer);
    connect(&InternetTimer, &QTimer::timeout, this, [this] { CheckAll(); });

    popup_ = new QMenu(window);
    popup_->setObjectName(QStringLiteral("MCPopup"));
    allServers_ = popup_->addAction(QStringLiteral("All Servers"));
    allServers_->setObjectName(QStringLiteral("AllServers"));
    popup_->setDefaultAction(allServers_);
    connect(allServers_, &QAction::triggered, this, [this] { CheckAll(); });

    AddCheckMailAction(controls_.checkMail);
    QAction* own = controls_.checkButton->defaultAction();
    checkActions_.append(own);
    own->setEnabled(true);
    connect(own, &QAction::triggered, this, &TMailCheckController::CheckButtonClicked);

    // The list is rewritten by replacing the file, which a watch on the file
    // alone would lose; the folder's changes catch every rewrite.
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(QString::fromStdString(dataFolder_));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &TMailCheckController::AccountsChanged);
    AccountsChanged();
}

TCheckAccounts* TMailCheckController::Chooser() const { return chooser_.data(); }

TMailCheckController::~TMailCheckController() {
    if (check_) check_->Cancel();
}

void TMailCheckController::AddCheckMailAction(QAction* action) {
    checkActions_.append(action);
    action->setEnabled(!Running());
    connect(action, &QAction::triggered, this, &TMailCheckController::CheckMail);
}

void TMailCheckController::AccountsChanged() {
    parts_->accounts.Load();
    QStringList aliases;
    for (const std::string& alias : parts_->accounts.Aliases()) aliases << qttext::FromStored(alias);
    if (aliases == aliases_ && !aliases_.isEmpty()) return;
    aliases_ = aliases;
    RebuildMenu();
}

void TMailCheckController::RebuildMenu() {
    for (QAction* action : popup_->actions())
        if (action != allServers_) {
            popup_->removeAction(action);
            action->deleteLater();
        }
    for (const QString& alias : std::as_const(aliases_)) {
        QAction* item = popup_->addAction(alias);
        const std::string stored = qttext::ToStored(alias);
        connect(item, &QAction::triggered, this, [this, stored] { Check({stored}); });
    }
    QToolButton* button = controls_.checkButton;
    if (aliases_.size() >= 2) {
        button->setMenu(popup_);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    } else {
        button->setMenu(nullptr);
    }
}

void TMailCheckController::ApplyInterval() {
    const int period = checkinterval::Milliseconds(config_.Read(cfg::PopInterval));
    if (period <= 0) {
        InternetTimer.stop();
        InternetTimer.setInterval(0);
        return;
    }
    InternetTimer.setInterval(period);
    if (!transfers_.Running()) InternetTimer.start();
}

bool TMailCheckController::CheckAll() {
    parts_->accounts.Load();
    if (parts_->accounts.Accounts().empty()) {
        if (noAccounts_) noAccounts_();
        return false;
    }
    return Check(parts_->accounts.Aliases());
}

void TMailCheckController::RequestCheckAll() {
    if (Running()) {
        checkAllAfter_ = true;
        return;
    }
    CheckAll();
}

void TMailCheckController::CheckMail() {
    if (Running()) return;
    AccountsChanged();
    if (aliases_.size() < 2) {
        CheckAll();
        return;
    }
    if (chooser_) {
        chooser_->raise();
        chooser_->activateWindow();
        return;
    }
    chooser_ = new TCheckAccounts(aliases_, window_);
    connect(chooser_, &TCheckAccounts::Start, this, [this](const QStringList& chosen) {
        std::vector<std::string> aliases;
        for (const QString& alias : chosen) aliases.push_back(qttext::ToStored(alias));
        if (!aliases.empty()) Check(aliases);
    });
    chooser_->show();
}

void TMailCheckController::CheckButtonClicked() {
    AccountsChanged();
    if (aliases_.size() < 2) CheckMail();
}

bool TMailCheckController::Check(const std::vector<std::string>& aliases) {
    if (Running()) return false;
    parts_->accounts.Load();
    TMailCheck check(
        {parts_->net, parts_->pump, parts_->clock, prompt_, transfers_.Display(TTransferState::TKind::Check)},
        parts_->passwords, parts_->dialUp, parts_->notifier, config_, parts_->accounts, dataFolder_);
    check_ = &check;
    // What has arrived is processed while the rest downloads (at most every
    // quarter second), so rows come in during a long check and the last one
    // soon after it.
    QElapsedTimer sinceProcessing;
    sinceProcessing.start();
    check.MessageDownloaded = [this, &sinceProcessing] {
        if (processing_ && sinceProcessing.elapsed() >= kProcessEveryMs) {
            processing_();
            sinceProcessing.restart();
        }
    };
    EnterBusy();
    emit CheckStarted();
    const bool ok = check.CheckAccounts(aliases);
    lastNew_ = check.NewMessages();
    check_ = nullptr;
    LeaveBusy();
    if (processing_) processing_();
    emit CheckFinished(lastNew_);
    if (checkAllAfter_) {
        checkAllAfter_ = false;
        // From the event loop, once this check has unwound.
        QTimer::singleShot(0, this, [this] { RequestCheckAll(); });
    }
    return ok;
}

void TMailCheckController::Cancel() {
    if (!check_) return;
    check_->Cancel();
    controls_.checkButton->defaultAction()->setEnabled(true);
}

void TMailCheckController::EnterBusy() {
    transfers_.Begin(TTransferState::TKind::Check, [this] { Cancel(); });
    for (QAction* action : std::as_const(checkActions_)) action->setEnabled(false);
    allServers_->setEnabled(false);
}

void TMailCheckController::LeaveBusy() {
    for (QAction* action : std::as_const(checkActions_)) action->setEnabled(true);
    allServers_->setEnabled(true);
    transfers_.End(TTransferState::TKind::Check);
}
