#include "transport/ServerProbe.h"

#include <optional>

#include "common/TextUtil.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/SmtpCapabilities.h"
#include "transport/TimedOutError.h"

namespace {

bool IsPasswordMechanism(std::string_view m) { return m == "PLAIN" || m == "LOGIN" || m == "CRAM-MD5"; }
bool IsOAuthMechanism(std::string_view m) { return m == "XOAUTH2" || m == "OAUTHBEARER"; }

// A server's words in a report: one short line.
std::string Quoted(std::string_view said) {
    std::string out;
    for (const char c : said.substr(0, 80)) out.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
    return "\"" + out + "\"";
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const auto blank = line.find(' ');
        if (blank != 0) words.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank + 1);
    }
    return words;
}

}  // namespace

TMailEnv TServerProbe::Quiet(const TMailEnv& env, IUserPrompt& notes) {
    return TMailEnv{env.net, env.pump, env.clock, notes, env.display, false};
}

TServerProbe::TServerProbe(const TMailEnv& env, TProtocol protocol)
    : TMailBase(Quiet(env, static_cast<TProbeNotes&>(*this)), protocol == TProtocol::Pop3 ? "pop3" : "smtp",
                protocol == TProtocol::Pop3 ? 110 : 25),
      protocol_(protocol) {}

void TServerProbe::SendCommand(const std::string& text) {
    Queue(text + "\r\n", TSendFailure::MailError);
    Flush(TSendFailure::MailError);
}

TProbeResult TServerProbe::Run(const TServerSettings& server) {
    TProbeResult result;
    Clear();
    Server = server.port ? server.host + ":" + std::to_string(server.port) : server.host;
    Security = server.security;
    ResetFlags();
    if (protocol_ == TProtocol::Pop3)
        SetService(security::PopService(Security), security::StandardPopPort(Security));
    else
        SetService(security::SmtpService(Security), security::StandardSmtpPort(Security));
    try {
        TMailBase::Connect();
        if (protocol_ == TProtocol::Pop3)
            RunPop3(result);
        else
            RunSmtp(result);
    } catch (const ECanceledError&) {
        Disconnect();
        throw;
    } catch (const ETimedOutError&) {
        result.found = false;
        result.failure = "no answer within " + std::to_string(TimeOut) + " seconds";
    } catch (const EMailError&) {
        result.found = false;
        // The host lookup's box has its own words for a name that does not
        // resolve.
        if (Reason() == "Async Error.")
            result.failure = "the name does not resolve";
        else
            result.failure = Reason().empty() ? "the connection failed" : Reason();
    }
    Disconnect();
    return result;
}

std::vector<std::string> TServerProbe::ReadPopLines() {
    // Read as bytes up to the terminating "." line: a line that short is
    // no line to the line reader, which would wait for more.
    std::string text;
    char buffer[4096];
    while (text != ".\r\n" && !text.ends_with("\r\n.\r\n")) {
        text.append(buffer, ReadSome(buffer, sizeof buffer));
        if (text.size() > kMaxLines * 128) throw EMailError();
    }
    std::vector<std::string> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        if (line == ".") break;
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 2);
    }
    return lines;
}

void TServerProbe::RunPop3(TProbeResult& result) {
    if (!Greeting().starts_with("+OK")) {
        result.failure = "no POP3 server here (it said " + Quoted(Greeting()) + ")";
        return;
    }
    if (Security == TSecurity::StartTls) {
        SendCommand("STLS");
        const std::string reply = ReadLine();
        if (!reply.starts_with("+OK")) {
            result.failure = "the server does not offer STARTTLS (STLS)";
            return;
        }
        StartTls();
    }
    SendCommand("CAPA");
    if (ReadLine().starts_with("+OK")) {
        // RFC 2449: "USER" offers USER/PASS, "SASL" names the mechanisms.
        for (const std::string& line : ReadPopLines()) {
            const auto words = Words(line);
            if (words.empty()) continue;
            const std::string tag = text::ToUpperAscii(words[0]);
            if (tag == "USER") result.password = true;
            if (tag != "SASL") continue;
            for (std::size_t i = 1; i < words.size(); ++i) {
                const std::string m = text::ToUpperAscii(words[i]);
                result.password = result.password || IsPasswordMechanism(m);
                result.oauth2 = result.oauth2 || IsOAuthMechanism(m);
            }
        }
    } else {
        result.password = true;  // without CAPA, USER and PASS are all there is (RFC 1939)
    }
    SendCommand("QUIT");
    result.found = true;
}

std::vector<std::string> TServerProbe::ReadSmtpReply() {
    std::vector<std::string> lines{ReadLine()};
    while (lines.back().size() >= 4 && lines.back()[3] == '-') {
        if (lines.size() >= kMaxLines) throw EMailError();
        lines.push_back(ReadLine());
    }
    return lines;
}

void TServerProbe::RunSmtp(TProbeResult& result) {
    std::string greeting = Greeting();
    for (std::size_t lines = 1; greeting.size() >= 4 && greeting[3] == '-'; ++lines) {
        if (lines >= kMaxLines) throw EMailError();
        greeting = ReadLine();
    }
    if (!greeting.starts_with("220")) {
        result.failure = "no SMTP server here (it said " + Quoted(greeting) + ")";
        return;
    }
    const auto ehlo = [&]() -> std::optional<TSmtpCapabilities> {
        SendCommand("EHLO " + HostPart());
        const auto lines = ReadSmtpReply();
        if (!lines.back().starts_with("2")) return std::nullopt;
        return TSmtpCapabilities::Parse(lines);
    };
    auto caps = ehlo();
    if (!caps) {
        result.failure = "the server refuses EHLO";
        return;
    }
    if (Security == TSecurity::StartTls) {
        if (!caps->StartTls()) {
            result.failure = "the server does not offer STARTTLS";
            return;
        }
        SendCommand("STARTTLS");
        if (!ReadSmtpReply().back().starts_with("2")) {
            result.failure = "the server refuses STARTTLS";
            return;
        }
        StartTls();
        // Many servers offer AUTH only once the connection is protected.
        caps = ehlo();
        if (!caps) {
            result.failure = "the server refuses EHLO after STARTTLS";
            return;
        }
    }
    // A server that asks for no login takes mail from this account as it is.
    result.password = caps->AuthMechanisms().empty();
    for (const std::string& m : caps->AuthMechanisms()) {
        result.password = result.password || IsPasswordMechanism(m);
        result.oauth2 = result.oauth2 || IsOAuthMechanism(m);
    }
    SendCommand("QUIT");
    result.found = true;
}
