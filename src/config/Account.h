#pragma once

#include <string>

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

    // The sender as the From line shows it.
    std::string From() const { return nickname + " <" + returnAddress + ">"; }
    friend bool operator==(const TAccount&, const TAccount&) = default;
};
