#include "config/OAuthRegistration.h"

#include <cstdlib>

#include "config/IniFile.h"
#include "config/ProviderTable.h"

std::vector<std::string> TOAuthRegistration::Files(const std::string& dataFolder) {
    std::vector<std::string> files{dataFolder + kFileName};
    const char* home = std::getenv("HOME");
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome)
        files.push_back(std::string(configHome) + "/Skiffpost/" + kFileName);
    else if (home && *home)
        files.push_back(std::string(home) + "/.config/Skiffpost/" + kFileName);
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string_view rest = dirs && *dirs ? dirs : "/etc/xdg";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty()) files.push_back(std::string(dir) + "/Skiffpost/" + kFileName);
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return files;
}

TOAuthRegistration TOAuthRegistration::Find(std::string_view provider, const std::vector<std::string>& files) {
    TOAuthRegistration r;
    r.provider = std::string(provider);
    if (const TProvider* known = TProviderTable::Named(provider)) {
        r.authorizeUrl = std::string(known->oauth.authorize);
        r.tokenUrl = std::string(known->oauth.token);
        r.scopes = std::string(known->oauth.scopes);
        r.extraParameters = std::string(known->oauth.extra);
    }
    const std::string section(provider);
    const auto take = [&](std::string& field, const char* key, bool& taken) {
        for (const std::string& file : files) {
            const TIniFile ini(file);
            if (!ini.HasKey(section, key)) continue;
            field = ini.ReadString(section, key, "");
            taken = true;
            return;
        }
    };
    bool ignored = false;
    take(r.clientId, "Client Id", ignored);
    take(r.clientSecret, "Client Secret", ignored);
    take(r.authorizeUrl, "Authorize URL", ignored);
    take(r.tokenUrl, "Token URL", ignored);
    take(r.scopes, "Scopes", ignored);
    return r;
}
