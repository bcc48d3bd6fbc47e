#include "config/SignIn.h"

namespace signin {

std::string_view Name(TSignIn signIn) {
    switch (signIn) {
        case TSignIn::AppPassword:
            return "app password";
        case TSignIn::OAuth2:
            return "OAuth2";
        case TSignIn::OAuth2OrAppPassword:
            return "OAuth2 or app password";
        case TSignIn::OAuth2OrPassword:
            return "password or OAuth2";
        case TSignIn::Password:
            break;
    }
    return "password";
}

bool TakesOAuth2(TSignIn signIn) {
    return signIn == TSignIn::OAuth2 || signIn == TSignIn::OAuth2OrAppPassword || signIn == TSignIn::OAuth2OrPassword;
}

}  // namespace signin
