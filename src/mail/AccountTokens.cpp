#include "mail/AccountTokens.h"

#include "config/Account.h"
#include "config/AccountList.h"

TAccountTokens::TAccountTokens(const TMailEnv& env, const TAccountList& accounts, std::string dataFolder)
    : dataFolder_(std::move(dataFolder)) {
    ISecretStore* store = accounts.Secrets();
    if (!accounts.PasswordsInStore()) {
        file_ = std::make_unique<TFileSecretStore>(dataFolder_ + TFileSecretStore::kFileName);
        store = file_.get();
    }
    signIn_ = std::make_unique<TOAuthSignIn>(env, *store, dataFolder_);
}

TOAuthRegistration TAccountTokens::Registration(const std::string& provider) const {
    return TOAuthRegistration::Find(provider, TOAuthRegistration::Files(dataFolder_));
}

std::string TAccountTokens::For(const TAccount& account) {
    return signIn_->AccessToken(account.alias, Registration(account.oauthProvider));
}
