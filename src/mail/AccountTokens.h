#pragma once

#include <memory>
#include <string>

#include "config/FileSecretStore.h"
#include "mail/OAuthSignIn.h"

struct TAccount;
class TAccountList;

// The OAuth2 side of the accounts of a data folder: where their tokens
// live (the keyring where the passwords go there, else "Tokens.ini" in the
// data folder, 0600) and the registration of each provider.
class TAccountTokens {
public:
    TAccountTokens(const TMailEnv& env, const TAccountList& accounts, std::string dataFolder);

    // A token for an account that signs in with OAuth2; empty, after a box
    // saying why, when it cannot have one now.
    std::string For(const TAccount& account);
    TOAuthRegistration Registration(const std::string& provider) const;
    TOAuthSignIn& SignIn() { return *signIn_; }

private:
    std::string dataFolder_;
    std::unique_ptr<TFileSecretStore> file_;
    std::unique_ptr<TOAuthSignIn> signIn_;
};
