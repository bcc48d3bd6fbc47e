#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mail/FoundSettings.h"
#include "transport/MailBase.h"
#include "transport/ServerProbe.h"
#include "transport/SrvRecord.h"

// Finds the servers of an account from its e-mail address, in this order:
// the built-in table of the large providers (no network at all), the
// domain's DNS SRV records (RFC 6186, RFC 8314: _pop3s, _pop3,
// _submissions, _submission), then probing the usual names and ports
// (pop/mail + domain on 995 TLS then 110 STARTTLS, smtp/mail + domain on
// 465 TLS then 587 STARTTLS). A probe reads only greeting and capabilities,
// never sends a password, and waits a few seconds at most. Runs on the
// caller's thread, keeping its interface alive through the pump.
class TSettingsFinder {
public:
    using TCandidates = std::function<std::vector<TServerSettings>(const std::string& domain)>;

    explicit TSettingsFinder(const TMailEnv& env) : env_(env) {}

    static std::vector<TServerSettings> UsualPopServers(const std::string& domain);
    static std::vector<TServerSettings> UsualSmtpServers(const std::string& domain);
    // Where probing looks; a set-up of other names and ports replaces these.
    TCandidates popCandidates = &UsualPopServers;
    TCandidates smtpCandidates = &UsualSmtpServers;
    int probeTimeOut = 6;         // seconds, for each wait of a probe
    int srvTimeOutMs = 8000;      // for each SRV lookup
    // Told each step as it is taken, for a window that shows them.
    std::function<void(const std::string&)> stepTaken;

    // What was found; on Cancel(), what was found until then.
    TFoundSettings Find(const std::string& address);
    // Ends the running Find at its next wait.
    void Cancel();

private:
    void Step(TFoundSettings& found, std::string text);
    // The first SRV record of the names that names a host, probed for its
    // sign-in; false when none does.
    bool FromSrv(TFoundSettings& found, TServerProbe::TProtocol protocol, const std::string& domain);
    bool FromProbes(TFoundSettings& found, TServerProbe::TProtocol protocol, const std::string& domain);
    std::vector<TSrvRecord> LookupSrv(const std::string& name);
    TProbeResult Probe(TFoundSettings& found, TServerProbe::TProtocol protocol, const TServerSettings& server);
    void Keep(TFoundSettings& found, TServerProbe::TProtocol protocol, const TServerSettings& server,
              const char* source, const TProbeResult* probe);

    TMailEnv env_;
    bool cancel_ = false;
    TServerProbe* probing_ = nullptr;
    // How the servers found let a program sign in.
    bool password_ = false;
    bool oauth2_ = false;
    bool probed_ = false;
};
