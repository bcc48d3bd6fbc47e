#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "config/ServerSecurity.h"
#include "config/SignIn.h"

// The settings of the large mail providers, known without asking the
// network. Hosts and ports are the providers' published ones.
struct TProviderServer {
    std::string_view host;  // empty: the provider has no such server
    std::uint16_t port = 0;
    TSecurity security = TSecurity::Tls;
};

// Where a provider hands out OAuth2 tokens for mail (RFC 6749), and the
// scopes that let a program fetch and send. The client registration (id,
// secret) is not the provider's to publish: it comes from the user's or the
// packager's settings.
struct TOAuthEndpoints {
    std::string_view authorize;
    std::string_view token;
    std::string_view scopes;  // separated by blanks
    std::string_view extra{};  // further parameters of the authorization request
    bool Empty() const { return authorize.empty(); }
};

// Every provider of the table takes the whole address as the user name.
struct TProvider {
    std::string_view name;     // "Gmail", also the key of its registration
    std::string_view domains;  // the address domains it serves, separated by blanks
    TProviderServer pop;
    TProviderServer smtp;
    TSignIn signIn = TSignIn::Password;
    TOAuthEndpoints oauth{};
    std::string_view note{};  // what the user should know, or empty
};

class TProviderTable {
public:
    // The provider of an address domain (case ignored), or null.
    static const TProvider* Find(std::string_view domain);
    // A provider by its name (case ignored), or null.
    static const TProvider* Named(std::string_view name);
    static std::span<const TProvider> All();
};
