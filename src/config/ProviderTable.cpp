#include "config/ProviderTable.h"

#include "common/TextUtil.h"

namespace {

// Google hands out a refresh token only when asked for offline access.
constexpr TOAuthEndpoints kGoogle{"https://accounts.google.com/o/oauth2/v2/auth", "https://oauth2.googleapis.com/token",
                                  "https://mail.google.com/", "access_type=offline&prompt=consent"};
// Personal Microsoft accounts (Outlook.com, Hotmail, Live, MSN) sign in at
// the "consumers" tenant; offline_access brings the refresh token.
constexpr TOAuthEndpoints kMicrosoft{
    "https://login.microsoftonline.com/consumers/oauth2/v2.0/authorize",
    "https://login.microsoftonline.com/consumers/oauth2/v2.0/token",
    "https://outlook.office.com/POP.AccessAsUser.All https://outlook.office.com/SMTP.Send offline_access"};

constexpr TProvider kProviders[] = {
    {"Gmail", "gmail.com googlemail.com", {"pop.gmail.com", 995, TSecurity::Tls},
     {"smtp.gmail.com", 465, TSecurity::Tls}, TSignIn::OAuth2OrAppPassword, kGoogle,
     "POP must be turned on in Gmail's settings (Forwarding and POP/IMAP)."},
    {"Outlook.com",
     "outlook.com hotmail.com live.com msn.com passport.com outlook.de outlook.fr outlook.es outlook.it "
     "hotmail.co.uk hotmail.de hotmail.fr hotmail.es hotmail.it live.co.uk live.de live.fr live.it live.nl "
     "live.ca live.com.au",
     {"outlook.office365.com", 995, TSecurity::Tls}, {"smtp-mail.outlook.com", 587, TSecurity::StartTls},
     TSignIn::OAuth2, kMicrosoft, "POP must be turned on in Outlook.com's settings (Sync email)."},
    {"Yahoo", "yahoo.com yahoo.co.uk yahoo.de yahoo.fr yahoo.es yahoo.it yahoo.ca yahoo.com.au ymail.com rocketmail.com",
     {"pop.mail.yahoo.com", 995, TSecurity::Tls}, {"smtp.mail.yahoo.com", 465, TSecurity::Tls},
     TSignIn::AppPassword, {}, "Yahoo takes an app password made in its account security settings."},
    {"iCloud", "icloud.com me.com mac.com", {}, {"smtp.mail.me.com", 587, TSecurity::StartTls}, TSignIn::AppPassword,
     {}, "iCloud Mail offers no POP3 server; only sending works, with an app-specific password."},
    {"AOL", "aol.com aim.com aol.de aol.fr aol.co.uk", {"pop.aol.com", 995, TSecurity::Tls},
     {"smtp.aol.com", 465, TSecurity::Tls}, TSignIn::AppPassword, {},
     "AOL takes an app password made in its account security settings."},
    {"GMX", "gmx.net gmx.de gmx.at gmx.ch gmx.eu", {"pop.gmx.net", 995, TSecurity::Tls},
     {"mail.gmx.net", 465, TSecurity::Tls}, TSignIn::Password, {},
     "POP3 must be allowed in GMX's settings (POP3 & IMAP)."},
    {"GMX.com", "gmx.com gmx.us gmx.co.uk gmx.fr gmx.es", {"pop.gmx.com", 995, TSecurity::Tls},
     {"mail.gmx.com", 587, TSecurity::StartTls}, TSignIn::Password, {},
     "POP3 must be allowed in GMX's settings (POP3 & IMAP)."},
    {"WEB.DE", "web.de", {"pop3.web.de", 995, TSecurity::Tls}, {"smtp.web.de", 587, TSecurity::StartTls},
     TSignIn::Password, {}, "POP3 must be allowed in WEB.DE's settings (POP3 & IMAP)."},
    {"Fastmail", "fastmail.com fastmail.fm fastmail.net fastmail.org fastmail.us fastmail.de messagingengine.com",
     {"pop.fastmail.com", 995, TSecurity::Tls}, {"smtp.fastmail.com", 465, TSecurity::Tls}, TSignIn::AppPassword,
     {}, "Fastmail takes an app password made in its settings (Privacy & Security)."},
    {"Zoho", "zoho.com zohomail.com", {"pop.zoho.com", 995, TSecurity::Tls}, {"smtp.zoho.com", 465, TSecurity::Tls},
     TSignIn::Password, {}, "POP access must be turned on in Zoho Mail's settings."},
    {"Zoho EU", "zoho.eu zohomail.eu", {"pop.zoho.eu", 995, TSecurity::Tls}, {"smtp.zoho.eu", 465, TSecurity::Tls},
     TSignIn::Password, {}, "POP access must be turned on in Zoho Mail's settings."},
    {"Yandex", "yandex.ru yandex.com yandex.by yandex.kz yandex.ua ya.ru narod.ru",
     {"pop.yandex.com", 995, TSecurity::Tls}, {"smtp.yandex.com", 465, TSecurity::Tls}, TSignIn::AppPassword,
     {}, "Yandex takes an app password made in its account settings."},
    {"Mail.ru", "mail.ru inbox.ru list.ru bk.ru internet.ru", {"pop.mail.ru", 995, TSecurity::Tls},
     {"smtp.mail.ru", 465, TSecurity::Tls}, TSignIn::AppPassword, {},
     "Mail.ru takes a password for external applications made in its settings."},
};

bool ListHolds(std::string_view list, std::string_view word) {
    while (!list.empty()) {
        const auto blank = list.find(' ');
        if (text::EqualsNoCase(list.substr(0, blank), word)) return true;
        if (blank == std::string_view::npos) break;
        list.remove_prefix(blank + 1);
    }
    return false;
}

}  // namespace

const TProvider* TProviderTable::Find(std::string_view domain) {
    // A domain written with its root's dot is the same domain.
    if (domain.ends_with('.')) domain.remove_suffix(1);
    if (domain.empty()) return nullptr;
    for (const TProvider& p : kProviders)
        if (ListHolds(p.domains, domain)) return &p;
    return nullptr;
}

const TProvider* TProviderTable::Named(std::string_view name) {
    for (const TProvider& p : kProviders)
        if (text::EqualsNoCase(p.name, name)) return &p;
    return nullptr;
}

std::span<const TProvider> TProviderTable::All() { return kProviders; }
