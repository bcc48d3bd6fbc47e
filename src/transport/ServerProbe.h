#pragma once

#include <string>
#include <vector>

#include "config/ServerSettings.h"
#include "transport/MailBase.h"
#include "transport/ProbeNotes.h"

// What one probe learnt of a server.
struct TProbeResult {
    bool found = false;  // a mail server of the protocol answered, secured as asked
    std::string failure;  // why not, in words for the user
    // How it lets a program sign in: a password (POP3 USER or SASL PLAIN /
    // LOGIN / CRAM-MD5, SMTP AUTH with those or none at all), OAuth2 (SASL
    // XOAUTH2 or OAUTHBEARER).
    bool password = false;
    bool oauth2 = false;
};

// Looks at one server without signing in: connects with the security
// asked for (the TLS certificate checked as for a check or a send),
// reads the greeting and the capabilities (POP3 CAPA, SMTP EHLO, after
// STLS / STARTTLS when asked) and says goodbye. It never sends a user name
// or a password, shows no box and trusts no certificate on its own.
class TServerProbe : private TProbeNotes, public TMailBase {
public:
    enum class TProtocol { Pop3, Smtp };

    // env's prompt is not used: the probe keeps what it would show.
    TServerProbe(const TMailEnv& env, TProtocol protocol);
    TProbeResult Run(const TServerSettings& server);

private:
    static TMailEnv Quiet(const TMailEnv& env, IUserPrompt& notes);
    void SendCommand(const std::string& text);
    void RunPop3(TProbeResult& result);
    void RunSmtp(TProbeResult& result);
    // Lines of a POP3 multi-line answer up to its ".", bounded.
    std::vector<std::string> ReadPopLines();
    std::vector<std::string> ReadSmtpReply();
    static constexpr std::size_t kMaxLines = 200;

    TProtocol protocol_;
};
