#include "transport/SMTP.h"

#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "transport/MailError.h"
#include "transport/RecipientParts.h"
#include "transport/SaslOAuth.h"
#include "transport/SmtpAuth.h"

namespace {

constexpr char kDQ = '"';
// How much of the data is queued between two looks at the Stop button and
// the progress bar.
constexpr std::size_t kDataChunk = 64 * 1024;

}  // namespace

TSMTP::TSMTP(const TMailEnv& env) : TMailBase(env, "smtp", 25) {}

void TSMTP::Connect() {
    ShowStatus("Connecting to SMTP Server " + Server + ".");
    ResetFlags();
    SetService(security::SmtpService(Security), security::StandardSmtpPort(Security));
    TMailBase::Connect();
    std::string greeting = Greeting();
    for (std::size_t lines = 1; greeting.size() >= 4 && greeting[3] == '-'; ++lines) {
        if (lines >= kMaxReplyLines) {
            Disconnect();
            throw EMailError();
        }
        greeting = ReadLine();
    }
    if (greeting.empty() || greeting[0] != '2') {
        Env().prompt.Error(std::string(kAppTitle) + " could not send mail through SMTP Server " + kDQ + Server + kDQ +
                           "." + "\n\r" + "Reason: " + greeting + "\n\r" +
                           "Fix: Check your SMTP Server Settings in the Control Center.");
        Disconnect();
        throw EMailError();
    }
}

void TSMTP::Cancel() {
    TMailBase::Cancel();
    Pump();
}

void TSMTP::SendCommand(const std::string& text) { Queue(text + "\r\n", TSendFailure::Canceled); }

std::vector<std::string> TSMTP::ReadReplyLines() {
    Flush(TSendFailure::Canceled);
    std::vector<std::string> lines{ReadLine()};
    // A reply may run over several lines ("250-..."); its last has a blank
    // after the code. No server needs more than a few dozen: one that never
    // ends its reply is left.
    while (lines.back().size() >= 4 && lines.back()[3] == '-') {
        if (lines.size() >= kMaxReplyLines) {
            ShowStatus("The server sent a reply of more than " + std::to_string(kMaxReplyLines) + " lines.");
            Disconnect();
            throw EMailError();
        }
        lines.push_back(ReadLine());
    }
    return lines;
}

std::string TSMTP::ReadReply(char wantClass, bool show) {
    const std::string reply = ReadReplyLines().back();
    if (show) ShowStatus(reply);
    if (reply.empty() || reply[0] != wantClass) {
        ShowStatus(reply);
        Env().prompt.Error(std::string(kAppTitle) + " could not send mail through SMTP Server " + kDQ + Server + kDQ +
                           "." + "\n\r" + "Reason: " + reply + "\n\r" +
                           "Fix: Check the recipients and your SMTP Server Settings in the Control Center.");
        Disconnect();
        throw EMailError();
    }
    return reply;
}

void TSMTP::Send(const std::string& from, const std::vector<std::string>& recipients, std::string_view data) {
    accepted_ = false;
    try {
        Connect();
        Hello();
        Envelope(from, recipients);
        Data(data);
        Quit();
    } catch (...) {
        Disconnect();
        if (!accepted_) throw;
        ShowStatus("Mail sucessfully sent.");
    }
    Disconnect();
}

void TSMTP::Hello() {
    ShowStatus("Connecting to " + Server);
    if (Security == TSecurity::None) {
        ShowStatus("HELO " + Server);
        SendCommand("HELO " + HostPart());
        ReadReply('2', true);
        return;
    }
    ShowStatus("EHLO " + Server);
    TSmtpCapabilities caps = Ehlo();
    if (Security == TSecurity::StartTls) {
        // Going on in clear would hand the password and the message to
        // whoever removed the offer on the way (RFC 3207).
        if (!caps.StartTls()) {
            Env().prompt.Error(std::string(kAppTitle) + " could not establish a secure connection with SMTP Server " +
                               kDQ + Server + kDQ + "." + "\n\r" + "Reason: The server does not offer STARTTLS." +
                               "\n\r" + "Fix: Choose TLS (port 465) as the security of this account.");
            Disconnect();
            throw EMailError();
        }
        SendCommand("STARTTLS");
        ReadReply('2', false);
        StartTls();
        // What the server offered in clear counts for nothing now.
        caps = Ehlo();
    }
    Authenticate(caps);
}

TSmtpCapabilities TSMTP::Ehlo() {
    SendCommand("EHLO " + HostPart());
    const std::vector<std::string> lines = ReadReplyLines();
    if (lines.back().empty() || lines.back()[0] != '2') {
        ShowStatus(lines.back());
        Env().prompt.Error(std::string(kAppTitle) + " could not send mail through SMTP Server " + kDQ + Server + kDQ +
                           "." + "\n\r" + "Reason: " + lines.back() + "\n\r" +
                           "Fix: Check your SMTP Server Settings in the Control Center.");
        Disconnect();
        throw EMailError();
    }
    ShowStatus(lines.back());
    return TSmtpCapabilities::Parse(lines);
}

void TSMTP::AuthenticateWithToken(const TSmtpCapabilities& caps) {
    // XOAUTH2 first: the one both large providers take.
    const bool bearer = !caps.Offers("XOAUTH2");
    if (bearer && !caps.Offers("OAUTHBEARER")) LoginFailed("The server offers no OAuth2 sign-in (XOAUTH2, OAUTHBEARER).");
    ShowStatus("Logging in to SMTP Server " + Server + " as " + UserName + " (OAuth2).");
    SendCommand(bearer ? "AUTH OAUTHBEARER " + sasloauth::OAuthBearer(UserName, HostPart(), ResolvedPort(), AccessToken)
                       : "AUTH XOAUTH2 " + sasloauth::XOAuth2(UserName, AccessToken));
    std::string reply = ReadReplyLines().back();
    // A refusal comes first as a challenge holding the reason (RFC 7628).
    if (reply.starts_with("334")) {
        SendCommand(sasloauth::AbortAnswer(bearer));
        reply = ReadReplyLines().back();
    }
    if (!reply.empty() && reply[0] == '2') return;
    LoginFailed(reply);
}

void TSMTP::Authenticate(const TSmtpCapabilities& caps) {
    if (!AccessToken.empty()) {
        AuthenticateWithToken(caps);
        return;
    }
    if (UserName.empty() || Password.empty()) return;
    const TSmtpAuth::TMechanism mechanism = TSmtpAuth::Choose(caps, Secure());
    // Without a mechanism the server may still take the message; one that
    // wants a login says so at MAIL FROM, and its reply reaches the user.
    if (mechanism == TSmtpAuth::TMechanism::None) return;
    ShowStatus("Logging in to SMTP Server " + Server + " as " + UserName + ".");
    TSmtpAuth auth(mechanism, UserName, Password);
    SendCommand(auth.Command());
    for (;;) {
        const std::string reply = ReadReplyLines().back();
        if (!reply.empty() && reply[0] == '2') return;
        if (!reply.starts_with("334")) LoginFailed(reply);
        const auto answer = auth.Answer(reply);
        if (!answer) {
            SendCommand("*");  // RFC 4954: ends the exchange
            ReadReplyLines();
            LoginFailed(reply);
        }
        SendCommand(*answer);
    }
}

void TSMTP::LoginFailed(const std::string& reply) {
    ShowStatus(reply);
    Env().prompt.Error(std::string(kAppTitle) + " could not log in to SMTP Server " + kDQ + Server + kDQ + "." +
                       "\n\r" + "Reason: " + reply + "\n\r" +
                       "Fix: Check the user name and password of this account in the Control Center.");
    Disconnect();
    throw EMailError();
}

void TSMTP::Envelope(const std::string& from, const std::vector<std::string>& recipients) {
    // An address is one word on one line; anything else would be read by
    // the server as further commands.
    SendCommand("MAIL FROM:<" + recipient::EnvelopeSafe(from) + ">");
    ReadReply('2', false);
    for (const auto& address : recipients) {
        SendCommand("RCPT TO:<" + recipient::EnvelopeSafe(address) + ">");
        ReadReply('2', true);
    }
    ShowStatus("Sending Data...");
    SendCommand("DATA");
    ReadReply('3', false);
}

void TSMTP::Data(std::string_view data) {
    ShowStatus("Sending Message...");
    const std::size_t total = data.empty() ? 1 : data.size();
    std::string chunk;
    std::string_view rest = data;
    while (!rest.empty()) {
        // Every line break ends a line here, as it would for some servers:
        // a "." line the data holds in any form must not end it early.
        const auto brk = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, brk);
        // A line that begins with "." gets another one (RFC 5321 4.5.2).
        if (!line.empty() && line[0] == '.') chunk += '.';
        chunk.append(line);
        chunk += "\r\n";
        rest.remove_prefix(brk == std::string_view::npos ? rest.size()
                                                         : brk + (rest.compare(brk, 2, "\r\n") == 0 ? 2 : 1));
        if (chunk.size() < kDataChunk && !rest.empty()) continue;
        Queue(chunk, TSendFailure::Canceled);
        chunk.clear();
        SetProgress(static_cast<int>((data.size() - rest.size()) * 100 / total));
        if (CancelRequested()) Flush(TSendFailure::Canceled);
    }
    SendCommand(".");
    ReadReply('2', true);
    accepted_ = true;
    SetProgress(0);
}

void TSMTP::Quit() {
    SendCommand("QUIT");
    // The message is accepted already; the farewell cannot undo that.
    Flush(TSendFailure::Canceled);
    ShowStatus(ReadLine());
    ShowStatus("Logout successful.");
    SetProgress(0);
    ShowStatus("Mail sucessfully sent.");
}
