#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the program signs in at one provider with OAuth2: the client it was
// registered as there (id, and a secret where the provider wants one) and
// the provider's endpoints and scopes. The built-in table names endpoints
// and scopes; the client comes from a file "OAuth2.ini" that the user or a
// packager fills, a section per provider name:
//
//     [Gmail]
//     Client Id=1234-abcd.apps.googleusercontent.com
//     Client Secret=...
//
// A section may also name "Authorize URL", "Token URL" and "Scopes" (for a
// provider the table does not know, or a test's own server). The files are
// read in this order, the first that names a key winning: the data
// folder's, $XDG_CONFIG_HOME/Skiffpost/ (~/.config), then each folder of
// $XDG_CONFIG_DIRS + /Skiffpost/ (/etc/xdg: a packager's).
struct TOAuthRegistration {
    std::string provider;
    std::string clientId;
    std::string clientSecret;
    std::string authorizeUrl;
    std::string tokenUrl;
    std::string scopes;           // separated by blanks
    std::string extraParameters;  // added to the authorization request

    bool Usable() const { return !clientId.empty() && !authorizeUrl.empty() && !tokenUrl.empty(); }

    static constexpr const char* kFileName = "OAuth2.ini";
    static std::vector<std::string> Files(const std::string& dataFolder);
    static TOAuthRegistration Find(std::string_view provider, const std::vector<std::string>& files);
};
