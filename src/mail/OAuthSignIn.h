#pragma once

#include <string>

#include "config/OAuthRegistration.h"
#include "transport/MailBase.h"
#include "transport/TokenReply.h"

class IBrowser;
class ISecretStore;

// OAuth2 for mail accounts: the sign-in in the user's browser
// (authorization code with PKCE, RFC 7636, redirected to a loopback
// listener, RFC 8252) and the access tokens that POP3 and SMTP sign in
// with, renewed with the refresh token before they expire. The tokens live
// in a secret store (the keyring) under the data folder and alias; a
// refresh that the provider refuses asks for a new sign-in.
class TOAuthSignIn {
public:
    TOAuthSignIn(const TMailEnv& env, ISecretStore& tokens, std::string dataFolder);

    // How long the user has for signing in, in seconds.
    int signInSeconds = 300;
    // A token closer than this to its end is renewed first.
    static constexpr long long kRenewBefore = 300;

    // Opens the provider's sign-in page and waits for its answer; the
    // tokens are kept. Failures show their box.
    bool SignIn(const std::string& alias, const std::string& user, const TOAuthRegistration& registration,
                IBrowser& browser);
    // A token to sign in with now; empty (after a box saying why) when the
    // account must sign in again.
    std::string AccessToken(const std::string& alias, const TOAuthRegistration& registration);
    // Forgets an account's tokens (sign-in changed, account removed).
    void Forget(const std::string& alias);
    void Cancel() { cancel_ = true; }

    std::string RefreshKey(const std::string& alias) const { return "OAuth2 refresh " + dataFolder_ + alias; }
    std::string AccessKey(const std::string& alias) const { return "OAuth2 access " + dataFolder_ + alias; }

    // PKCE's S256 challenge of a verifier: base64url(SHA-256).
    static std::string Challenge(const std::string& verifier);
    static std::string FormEncode(std::string_view text);

private:
    std::optional<TTokenReply> Post(const std::string& url, const std::string& form);
    bool Keep(const std::string& alias, const TTokenReply& reply);
    void Fail(const std::string& reason, const std::string& fix);

    TMailEnv env_;
    ISecretStore& tokens_;
    std::string dataFolder_;
    bool cancel_ = false;
};
