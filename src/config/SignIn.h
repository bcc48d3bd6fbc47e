#pragma once

#include <string_view>

// How a provider lets a mail program sign in.
//   Password:    the account's own password.
//   AppPassword: a password made for the program in the provider's web
//                settings (the account's own is refused).
//   OAuth2:      only a token the provider hands out after the user signed
//                in in the browser (SASL XOAUTH2 / OAUTHBEARER).
//   OAuth2OrAppPassword, OAuth2OrPassword: either of the two.
enum class TSignIn { Password, AppPassword, OAuth2, OAuth2OrAppPassword, OAuth2OrPassword };

namespace signin {

// "password", "app password", "OAuth2", "OAuth2 or app password",
// "password or OAuth2".
std::string_view Name(TSignIn signIn);
bool TakesOAuth2(TSignIn signIn);

}  // namespace signin
