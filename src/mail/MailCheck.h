#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "transport/MailBase.h"

class IDialUp;
class INotifier;
class IPasswordPrompt;
class TAccountList;
class TIniFile;
class TPOP3;

// One mail check over a list of accounts: dials first when configured to,
// runs one POP3 dialog per account in order, tells the user when new mail
// came, and hangs up again. A failing account ends the whole check (its box,
// if any, was shown by the client); what was downloaded until then stays in
// the data folder for the processing.
class TMailCheck {
public:
    TMailCheck(const TMailEnv& env, IPasswordPrompt& passwords, IDialUp& dialUp, INotifier& notifier,
               const TIniFile& config, TAccountList& accounts, std::string dataFolder);
    ~TMailCheck();

    // False when a step of an account failed.
    bool CheckAccounts(const std::vector<std::string>& aliases);
    // The Stop button: cancels the running dialog.
    void Cancel();
    bool Running() const { return current_ != nullptr; }
    // Messages downloaded by this check.
    int NewMessages() const { return newMessages_; }
    // Told each time a message is whole in its download file, so that the
    // processing can start on it while the rest download.
    std::function<void()> MessageDownloaded;
    // How long a check waits for a dial to end, whatever the dial-up layer
    // reports meanwhile.
    static constexpr int kDialWaitSeconds = 180;
    static constexpr const char* kDialGivenUp = "Dialup Account failed: no connection after 3 minutes.";

private:
    bool CheckOne(const std::string& alias);
    // Waits for the dial to end, at most kDialWaitSeconds; false when it
    // did not.
    bool WaitForDial();
    void Notify();

    TMailEnv env_;
    IPasswordPrompt& passwords_;
    IDialUp& dialUp_;
    INotifier& notifier_;
    const TIniFile& config_;
    TAccountList& accounts_;
    std::string dataFolder_;
    std::unique_ptr<TPOP3> current_;
    int newMessages_ = 0;
};
