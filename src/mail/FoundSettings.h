#pragma once

#include <string>
#include <vector>

#include "config/Account.h"
#include "config/ServerSettings.h"
#include "config/SignIn.h"

// The settings of an account as found from its address, and how each was
// found.
struct TFoundSettings {
    std::string address;
    std::string provider;  // the built-in table's name for it, or empty
    TServerSettings pop;   // no host: none found
    TServerSettings smtp;
    std::string popSource;  // "built-in table", "DNS SRV record", "probe"
    std::string smtpSource;
    std::string userName;
    TSignIn signIn = TSignIn::Password;
    std::string note;  // the provider's word to the user, or empty
    // Every look taken and what it gave, in order, for the user to read.
    std::vector<std::string> steps;

    bool Found() const { return !pop.Empty() || !smtp.Empty(); }
    // Puts what was found into an account: servers, their security, the
    // user name, and the address as return address where it has none.
    // What was not found stays as it was.
    void ApplyTo(TAccount& account) const;
    // "pop.example.org port 995, TLS"
    static std::string Describe(const TServerSettings& server);
};
