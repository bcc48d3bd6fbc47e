#include "mail/OAuthSignIn.h"

#include <openssl/rand.h>
#include <openssl/sha.h>

#include <charconv>

#include "common/AppTitle.h"
#include "common/Base64.h"
#include "common/Browser.h"
#include "common/Clock.h"
#include "common/UserPrompt.h"
#include "config/SecretStore.h"
#include "transport/CanceledError.h"
#include "transport/HttpExchange.h"
#include "transport/LoopbackListener.h"
#include "transport/MailError.h"
#include "transport/TimedOutError.h"

namespace {

constexpr char kDQ = '"';
constexpr const char* kSignedIn =
    "<!DOCTYPE html><meta charset=\"utf-8\"><title>Fenmarch Skiffpost</title>"
    "<p>Fenmarch Skiffpost is signed in. You can close this window.";

std::string Base64Url(const unsigned char* data, std::size_t size) {
    std::string text = base64::Encode(data, size);
    for (char& c : text) {
        if (c == '+') c = '-';
        if (c == '/') c = '_';
    }
    while (!text.empty() && text.back() == '=') text.pop_back();
    return text;
}

std::string Random(std::size_t bytes) {
    std::string raw(bytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), static_cast<int>(bytes)) != 1) return {};
    return Base64Url(reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size()) {
            unsigned value = 0;
            const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
            if (ec == std::errc() && end == text.data() + i + 3) {
                out += static_cast<char>(value);
                i += 2;
            } else {
                out += '%';
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

// A parameter of a query ("a=1&b=2"); nothing when absent.
std::optional<std::string> QueryValue(std::string_view query, std::string_view name) {
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const auto eq = pair.find('=');
        if (PercentDecode(pair.substr(0, eq)) == name)
            return eq == std::string_view::npos ? std::string() : PercentDecode(pair.substr(eq + 1));
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

}  // namespace

TOAuthSignIn::TOAuthSignIn(const TMailEnv& env, ISecretStore& tokens, std::string dataFolder)
    : env_(env), tokens_(tokens), dataFolder_(std::move(dataFolder)) {}

std::string TOAuthSignIn::Challenge(const std::string& verifier) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest);
    return Base64Url(digest, sizeof digest);
}

std::string TOAuthSignIn::FormEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

void TOAuthSignIn::Fail(const std::string& reason, const std::string& fix) {
    env_.prompt.Error(std::string(kAppTitle) + " could not sign in with OAuth2." + "\n\r" + "Reason: " + reason +
                      "\n\r" + "Fix: " + fix);
}

std::optional<TTokenReply> TOAuthSignIn::Post(const std::string& url, const std::string& form) {
    THttpExchange http(env_);
    http.TimeOut = 30;
    try {
        const THttpReply reply = http.PostForm(url, form);
        auto token = TTokenReply::Parse(reply.body);
        if (!token) Fail("The token endpoint answered " + std::to_string(reply.status) + " without a token.",
                         "Check the endpoints in " + std::string(TOAuthRegistration::kFileName) + ".");
        return token;
    } catch (const ECanceledError&) {
        return std::nullopt;
    } catch (const ETimedOutError&) {
        Fail("The token endpoint did not answer.", "Try again later.");
    } catch (const EMailError&) {
        Fail("The token endpoint " + std::string(1, kDQ) + url + kDQ + " could not be reached.",
             "Check the network and the endpoints in " + std::string(TOAuthRegistration::kFileName) + ".");
    }
    return std::nullopt;
}

bool TOAuthSignIn::Keep(const std::string& alias, const TTokenReply& reply) {
    bool ok = true;
    if (!reply.refreshToken.empty()) ok = tokens_.Write(RefreshKey(alias), reply.refreshToken);
    // Without a lifetime the token is taken to last an hour, as most do.
    const long long lifetime = reply.expiresIn > 0 ? reply.expiresIn : 3600;
    const long long expires = static_cast<long long>(env_.clock.Now()) + lifetime;
    return tokens_.Write(AccessKey(alias), std::to_string(expires) + " " + reply.accessToken) && ok;
}

void TOAuthSignIn::Forget(const std::string& alias) {
    tokens_.Remove(RefreshKey(alias));
    tokens_.Remove(AccessKey(alias));
}

bool TOAuthSignIn::SignIn(const std::string& alias, const std::string& user, const TOAuthRegistration& registration,
                          IBrowser& browser) {
    cancel_ = false;
    if (!registration.Usable()) {
        Fail("This program has no client registration for " + registration.provider + ".",
             "Register it with the provider and put its client id into " + std::string(TOAuthRegistration::kFileName) +
                 " (see the README).");
        return false;
    }
    TLoopbackListener listener;
    const std::string verifier = Random(48);
    const std::string state = Random(16);
    if (!listener.Port() || verifier.empty() || state.empty()) {
        Fail("No local port for the provider's answer could be opened.", "Try again.");
        return false;
    }
    const std::string redirect = "http://127.0.0.1:" + std::to_string(listener.Port()) + "/";
    std::string url = registration.authorizeUrl + (registration.authorizeUrl.find('?') == std::string::npos ? "?" : "&") +
                      "response_type=code&client_id=" + FormEncode(registration.clientId) +
                      "&redirect_uri=" + FormEncode(redirect) + "&scope=" + FormEncode(registration.scopes) +
                      "&state=" + state + "&code_challenge=" + Challenge(verifier) +
                      "&code_challenge_method=S256";
    if (!user.empty()) url += "&login_hint=" + FormEncode(user);
    if (!registration.extraParameters.empty()) url += "&" + registration.extraParameters;
    if (!browser.Open(url)) {
        Fail("No web browser could be started.", "Open this address yourself: " + url);
    }
    // Every answer of the provider comes back to the root with a query.
    const auto target =
        listener.Await("/?", kSignedIn, env_.pump, env_.clock, signInSeconds, [this] { return cancel_; });
    if (!target) {
        if (!cancel_) Fail("The sign-in did not finish in time.", "Sign in again.");
        return false;
    }
    const std::string_view query = std::string_view(*target).substr(2);
    if (QueryValue(query, "state") != state) {
        Fail("The answer did not come from the sign-in this program started.", "Sign in again.");
        return false;
    }
    const auto code = QueryValue(query, "code");
    if (!code || code->empty()) {
        const std::string error = QueryValue(query, "error").value_or("no code");
        Fail("The provider refused: " + error + ".", "Sign in again and allow the access.");
        return false;
    }
    std::string form = "grant_type=authorization_code&code=" + FormEncode(*code) +
                       "&redirect_uri=" + FormEncode(redirect) + "&client_id=" + FormEncode(registration.clientId) +
                       "&code_verifier=" + verifier;
    if (!registration.clientSecret.empty()) form += "&client_secret=" + FormEncode(registration.clientSecret);
    const auto reply = Post(registration.tokenUrl, form);
    if (!reply) return false;
    if (!reply->Ok()) {
        Fail("The provider refused the sign-in: " + reply->error +
                 (reply->errorDescription.empty() ? "" : " (" + reply->errorDescription + ")") + ".",
             "Sign in again.");
        return false;
    }
    if (!Keep(alias, *reply)) {
        Fail("The keyring did not take the tokens.", "Check that the desktop keyring is open.");
        return false;
    }
    return true;
}

std::string TOAuthSignIn::AccessToken(const std::string& alias, const TOAuthRegistration& registration) {
    cancel_ = false;
    if (const auto held = tokens_.Read(AccessKey(alias))) {
        const auto blank = held->find(' ');
        long long expires = 0;
        if (blank != std::string::npos) std::from_chars(held->data(), held->data() + blank, expires);
        if (blank != std::string::npos && expires - static_cast<long long>(env_.clock.Now()) > kRenewBefore)
            return held->substr(blank + 1);
    }
    const auto refresh = tokens_.Read(RefreshKey(alias));
    if (!refresh || refresh->empty()) {
        Fail("This account has not signed in with " + registration.provider + " yet.",
             "Sign in with the provider in the account's settings (or: skfp-tool account oauth " + alias + ").");
        return {};
    }
    std::string form = "grant_type=refresh_token&refresh_token=" + FormEncode(*refresh) +
                       "&client_id=" + FormEncode(registration.clientId);
    if (!registration.clientSecret.empty()) form += "&client_secret=" + FormEncode(registration.clientSecret);
    const auto reply = Post(registration.tokenUrl, form);
    if (!reply) return {};
    if (!reply->Ok()) {
        // invalid_grant: the refresh token was revoked or ran out.
        Fail("The provider no longer accepts the sign-in: " + reply->error + ".", "Sign in with the provider again.");
        return {};
    }
    Keep(alias, *reply);
    return reply->accessToken;
}
