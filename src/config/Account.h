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
    // SHA-256 fingerprints ("AB:CD:...") of certificates the user chose to
    // trust although they could not be verified; empty when none.
    std::string popFingerprint{};
    std::string smtpFingerprint{};

    TSecurity Security() const { return security.value_or(security::Implied(popServer, smtpServer)); }
    // The password crosses the network readable by anyone on the way; the
    // accounts dialog says so beside the password field.
    bool PasswordInClearText() const { return Security() == TSecurity::None; }

    // The sender as the From line shows it.
    std::string From() const { return nickname + " <" + returnAddress + ">"; }
    friend bool operator==(const TAccount&, const TAccount&) = default;
};
