#include "mail/SettingsFinder.h"

#include <span>

#include "common/Clock.h"
#include "common/EventPump.h"
#include "common/TextUtil.h"
#include "config/ProviderTable.h"
#include "transport/CanceledError.h"
#include "transport/SocketFactory.h"
#include "transport/SrvAnswer.h"

namespace {

using TProtocol = TServerProbe::TProtocol;

const char* ServerWord(TProtocol protocol) { return protocol == TProtocol::Pop3 ? "POP3" : "SMTP"; }

TServerSettings FromTable(const TProviderServer& server) {
    return {std::string(server.host), server.port, server.security};
}

// The SRV names of each protocol, the implicit TLS one first (RFC 8314
// 5.1), and the security each stands for.
struct TSrvName {
    const char* prefix;
    TSecurity security;
};
constexpr TSrvName kPopNames[] = {{"_pop3s._tcp.", TSecurity::Tls}, {"_pop3._tcp.", TSecurity::StartTls}};
constexpr TSrvName kSmtpNames[] = {{"_submissions._tcp.", TSecurity::Tls},
                                   {"_submission._tcp.", TSecurity::StartTls}};

}  // namespace

std::vector<TServerSettings> TSettingsFinder::UsualPopServers(const std::string& domain) {
    std::vector<TServerSettings> out;
    for (const char* prefix : {"pop.", "mail."}) {
        out.push_back({prefix + domain, 995, TSecurity::Tls});
        out.push_back({prefix + domain, 110, TSecurity::StartTls});
    }
    return out;
}

std::vector<TServerSettings> TSettingsFinder::UsualSmtpServers(const std::string& domain) {
    std::vector<TServerSettings> out;
    for (const char* prefix : {"smtp.", "mail."}) {
        out.push_back({prefix + domain, 465, TSecurity::Tls});
        out.push_back({prefix + domain, 587, TSecurity::StartTls});
    }
    return out;
}

void TSettingsFinder::Cancel() {
    cancel_ = true;
    if (probing_) probing_->Cancel();
}

void TSettingsFinder::Step(TFoundSettings& found, std::string text) {
    if (stepTaken) stepTaken(text);
    found.steps.push_back(std::move(text));
}

TFoundSettings TSettingsFinder::Find(const std::string& address) {
    cancel_ = false;
    password_ = oauth2_ = probed_ = false;
    TFoundSettings found;
    found.address = text::Trim(address);
    const auto at = found.address.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 == found.address.size() ||
        found.address.find_first_of(" \t/\\:") != std::string::npos) {
        Step(found, "\"" + found.address + "\" is not an e-mail address.");
        return found;
    }
    std::string domain = text::ToLowerAscii(found.address.substr(at + 1));
    if (domain.ends_with('.')) domain.pop_back();
    found.userName = found.address;

    if (const TProvider* provider = TProviderTable::Find(domain)) {
        found.provider = std::string(provider->name);
        found.pop = FromTable(provider->pop);
        found.smtp = FromTable(provider->smtp);
        found.popSource = found.smtpSource = "built-in table";
        found.signIn = provider->signIn;
        found.note = std::string(provider->note);
        Step(found, found.provider + ": the settings of the built-in table.");
        return found;
    }

    try {
        for (const TProtocol protocol : {TProtocol::Pop3, TProtocol::Smtp})
            if (!FromSrv(found, protocol, domain)) FromProbes(found, protocol, domain);
    } catch (const ECanceledError&) {
        Step(found, "Stopped at your request.");
    }
    if (probed_) {
        if (oauth2_)
            found.signIn = password_ ? TSignIn::OAuth2OrPassword : TSignIn::OAuth2;
        else
            found.signIn = TSignIn::Password;
    }
    return found;
}

std::vector<TSrvRecord> TSettingsFinder::LookupSrv(const std::string& name) {
    const auto lookup = env_.net.LookupSrv(name);
    if (!lookup) return {};
    const std::int64_t giveUp = env_.clock.MonotonicMs() + srvTimeOutMs;
    while (!lookup->Done()) {
        if (cancel_) throw ECanceledError();
        if (env_.clock.MonotonicMs() >= giveUp) return {};
        env_.pump.Pump();
    }
    return lookup->Records();
}

bool TSettingsFinder::FromSrv(TFoundSettings& found, TProtocol protocol, const std::string& domain) {
    for (const TSrvName& name : protocol == TProtocol::Pop3 ? std::span<const TSrvName>(kPopNames)
                                                            : std::span<const TSrvName>(kSmtpNames)) {
        const std::string query = name.prefix + domain;
        const std::vector<TSrvRecord> records = LookupSrv(query);
        const auto best = srvanswer::Best(records);
        if (!best) {
            Step(found, "DNS " + query + ": " + (records.empty() ? "no record." : "not offered."));
            continue;
        }
        TServerSettings server{best->target, best->port, name.security};
        if (server.host.ends_with('.')) server.host.pop_back();
        Step(found, "DNS " + query + ": " + TFoundSettings::Describe(server) + ".");
        const TProbeResult probe = Probe(found, protocol, server);
        // The domain's own word counts even when the server cannot be
        // reached from here now.
        Keep(found, protocol, server, "DNS SRV record", probe.found ? &probe : nullptr);
        return true;
    }
    return false;
}

bool TSettingsFinder::FromProbes(TFoundSettings& found, TProtocol protocol, const std::string& domain) {
    for (const TServerSettings& server : (protocol == TProtocol::Pop3 ? popCandidates : smtpCandidates)(domain)) {
        const TProbeResult probe = Probe(found, protocol, server);
        if (!probe.found) continue;
        Keep(found, protocol, server, "probe", &probe);
        return true;
    }
    Step(found, std::string("No ") + ServerWord(protocol) + " server found.");
    return false;
}

TProbeResult TSettingsFinder::Probe(TFoundSettings& found, TProtocol protocol, const TServerSettings& server) {
    if (cancel_) throw ECanceledError();
    TServerProbe probe(env_, protocol);
    probe.TimeOut = probeTimeOut;
    probing_ = &probe;
    TProbeResult result;
    try {
        result = probe.Run(server);
    } catch (...) {
        probing_ = nullptr;
        throw;
    }
    probing_ = nullptr;
    std::string text = std::string("Probe ") + ServerWord(protocol) + " " + TFoundSettings::Describe(server) + ": ";
    if (result.found) {
        text += "found";
        if (result.oauth2) text += result.password ? ", signs in with password or OAuth2" : ", signs in with OAuth2";
        text += ".";
    } else {
        text += result.failure + ".";
    }
    Step(found, std::move(text));
    return result;
}

void TSettingsFinder::Keep(TFoundSettings& found, TProtocol protocol, const TServerSettings& server, const char* source,
                           const TProbeResult* probe) {
    if (protocol == TProtocol::Pop3) {
        found.pop = server;
        found.popSource = source;
    } else {
        found.smtp = server;
        found.smtpSource = source;
    }
    if (!probe) return;
    // The POP3 server's sign-in decides; the SMTP server's counts where
    // there is no POP3 server.
    if (protocol == TProtocol::Smtp && probed_) return;
    probed_ = true;
    password_ = probe->password;
    oauth2_ = probe->oauth2;
}
