#include "mail/FoundSettings.h"

void TFoundSettings::ApplyTo(TAccount& account) const {
    if (!pop.Empty()) {
        account.popServer = pop.Field(&security::StandardPopPort);
        account.security = pop.security;
    }
    if (!smtp.Empty()) {
        account.smtpServer = smtp.Field(&security::StandardSmtpPort);
        // The SMTP server's mode is kept apart only where it differs.
        if (smtp.security == account.Security())
            account.smtpSecurity.reset();
        else
            account.smtpSecurity = smtp.security;
    }
    if (Found()) account.popUserName = userName;
    if (account.returnAddress.empty()) account.returnAddress = address;
}

std::string TFoundSettings::Describe(const TServerSettings& server) {
    return server.host + " port " + std::to_string(server.port) + ", " + std::string(security::Name(server.security));
}
