#include "mail/MailCheck.h"

#include <ctime>

#include "common/Clock.h"
#include "common/EventPump.h"
#include "common/FileUtil.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/AccountTokens.h"
#include "transport/CanceledError.h"
#include "transport/DialUp.h"
#include "transport/MailError.h"
#include "transport/Notifier.h"
#include "transport/POP3.h"
#include "transport/TimedOutError.h"
#include "transport/TransferDisplay.h"

TMailCheck::TMailCheck(const TMailEnv& env, IPasswordPrompt& passwords, IDialUp& dialUp, INotifier& notifier,
                       const TIniFile& config, TAccountList& accounts, std::string dataFolder)
    : env_(env),
      passwords_(passwords),
      dialUp_(dialUp),
      notifier_(notifier),
      config_(config),
      accounts_(accounts),
      dataFolder_(std::move(dataFolder)) {}

TMailCheck::~TMailCheck() = default;

void TMailCheck::Cancel() {
    if (current_) current_->Cancel();
}

bool TMailCheck::CheckAccounts(const std::vector<std::string>& aliases) {
    newMessages_ = 0;
    bool dialed = false;
    long connection = 0;
    const std::string entry = config_.Read(cfg::DialupServerCheck);
    if (config_.Read(cfg::AutoDial) && entry != cfg::DialupServerCheck.def && !aliases.empty()) {
        std::string user, password;
        if (dialUp_.GetCredentials(entry, user, password)) {
            env_.pump.Pump();
            if (dialUp_.Dial(entry, user, password, connection)) {
                dialed = WaitForDial();
                // A dial that never ends is given up and released; the
                // check goes on, as after a failed dial.
                if (!dialed) dialUp_.HangUp(connection);
            } else {
                dialUp_.HangUp(connection);
            }
        }
    }
    const bool hangUp = dialed && config_.Read(cfg::AutoHangup);
    for (const auto& alias : aliases) {
        if (!CheckOne(alias)) {
            if (hangUp) dialUp_.HangUp(connection);
            return false;
        }
    }
    if (newMessages_ > 0) Notify();
    if (hangUp) dialUp_.HangUp(connection);
    return true;
}

bool TMailCheck::WaitForDial() {
    const std::time_t giveUp = env_.clock.Now() + kDialWaitSeconds;
    while (!dialUp_.Done()) {
        if (env_.clock.Now() >= giveUp) {
            env_.display.ShowStatus(kDialGivenUp);
            return false;
        }
        env_.pump.Pump();
    }
    return true;
}

bool TMailCheck::CheckOne(const std::string& alias) {
    const TAccount* account = accounts_.Find(alias);
    if (!account || account->popServer.empty()) return true;
    std::string token;
    if (!account->oauthProvider.empty()) {
        // Renewed before the connection, so a slow provider never holds a
        // server's session open.
        token = TAccountTokens(env_, accounts_, dataFolder_).For(*account);
        if (token.empty()) return false;
    }
    current_ = std::make_unique<TPOP3>(env_, passwords_);
    TPOP3& pop = *current_;
    pop.Server = account->popServer;
    pop.UserName = account->popUserName;
    pop.Password = account->popPassword;
    pop.AccessToken = token;
    // A time-out of 0 would end every wait before it began.
    pop.TimeOut = config_.ReadPositive(cfg::PopTimeOut);
    pop.ProxyServer = config_.Read(cfg::ProxyServer);
    pop.UseProxy = config_.Read(cfg::ProxyUse);
    pop.Security = account->Security();
    pop.TrustedFingerprint = account->popFingerprint;
    pop.MessageDownloaded = MessageDownloaded;
    bool ok = true;
    try {
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) {
            env_.display.ShowProgress(true);
            bool gotNew = false;
            pop.Retrieve(account->alias, dataFolder_, config_, gotNew);
            env_.display.ShowProgress(false);
        }
        pop.SetProgress(0);
        pop.Logout();
        pop.Disconnect();
    } catch (const EMailError&) {
        ok = false;
    } catch (const ECanceledError&) {
        ok = false;
    } catch (const ETimedOutError&) {
        ok = false;
    }
    if (!ok) env_.display.ShowProgress(false);
    // A certificate the user chose to trust stays trusted, even when the
    // check failed later on.
    if (pop.TrustChanged()) {
        if (TAccount* kept = accounts_.Find(alias)) {
            kept->popFingerprint = pop.TrustedFingerprint;
            accounts_.SaveSettings();
        }
    }
    newMessages_ += static_cast<int>(pop.Downloaded().size());
    current_.reset();
    return ok;
}

void TMailCheck::Notify() {
    const std::string how = config_.Read(cfg::PopNotify);
    const std::string file = config_.Read(cfg::PopFileName);
    if (how == "Beep") {
        notifier_.Beep();
    } else if (how == "Run Program") {
        env_.display.ShowStatus("Running notify program.");
        notifier_.RunProgram(file);
    } else if (how == "Play Sound") {
        env_.display.ShowStatus("Playing notify sound.");
        if (fileutil::Exists(file)) notifier_.PlaySound(file);
    }
}
