#pragma once

#include <optional>
#include <string>

#include "config/ServerSecurity.h"

// One mail account ("Internet Server"): where mail is fetched and sent, and
// who the user is there. Texts are Windows-1252.
struct TAccount {
    std::string alias;  // unique, compared without regard to case
    std::string popServer;
    std::string smtpServer;
    std::string popUserName;
    std::string popPassword;
    std::string returnAddress;
    std::string nickname;

    // Kept in "Internet.ini" under the alias, beside the seven fields other
    // programs read. Unset: the mode follows from the server fields.
    std::optional<TSecurity> security{};
    // The SMTP server's own mode where it differs from the POP3 server's (a
    // provider with POP3 over TLS on 995 and submission with STARTTLS on
    // 587); unset: the same as the POP3 server's.
    std::optional<TSecurity> smtpSecurity{};
    // SHA-256 fingerprints ("AB:CD:...") of certificates the user chose to
    // trust although they could not be verified; empty when none.
    std::string popFingerprint{};
    std::string smtpFingerprint{};
    // The provider (a name of the built-in table or of "OAuth2.ini") whose
    // OAuth2 sign-in the account uses instead of the password; empty: the
    // password.
    std::string oauthProvider{};

    TSecurity Security() const { return security.value_or(security::Implied(popServer, smtpServer)); }
    TSecurity SmtpSecurity() const { return smtpSecurity.value_or(Security()); }
    // The password crosses the network readable by anyone on the way; the
    // accounts dialog says so beside the password field.
    bool PasswordInClearText() const { return Security() == TSecurity::None; }

    // The sender as the From line shows it.
    std::string From() const { return nickname + " <" + returnAddress + ">"; }
    friend bool operator==(const TAccount&, const TAccount&) = default;
};
