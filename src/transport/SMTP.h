#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "transport/MailBase.h"
#include "transport/SmtpCapabilities.h"

// One SMTP submission: connects, greets (HELO, or EHLO with STARTTLS and
// AUTH when the account is secured), gives the envelope and hands over a
// finished message (TMessageBuilder's bytes), dot-stuffed, then says
// goodbye.
class TSMTP : public TMailBase {
public:
    explicit TSMTP(const TMailEnv& env);

    // The account's POP3 user name and password, for SMTP AUTH; never sent
    // on a "None" account.
    std::string UserName;
    std::string Password;
    // An OAuth2 access token: set, the login is SASL XOAUTH2 or OAUTHBEARER
    // with it instead of the password.
    std::string AccessToken;

    void Connect() override;
    void Cancel() override;
    // The whole dialog: from and recipients are bare addresses (line breaks
    // and angle brackets in them become blanks), data the message as CR LF
    // lines. On failure the connection is closed and the exception passes
    // on; once the server accepted the message it counts as sent, whatever
    // happens at QUIT.
    void Send(const std::string& from, const std::vector<std::string>& recipients, std::string_view data);

    // Sends text with a CR LF line end.
    void SendCommand(const std::string& text);

protected:
    std::uint16_t StandardPort(TSecurity mode) const override { return security::StandardSmtpPort(mode); }

private:
    void Hello();
    void Envelope(const std::string& from, const std::vector<std::string>& recipients);
    // The message data, each line dot-stuffed, and the end-of-data line.
    void Data(std::string_view data);
    void Quit();
    // EHLO, and what the server offers.
    TSmtpCapabilities Ehlo();
    // Logs in when the server offers a usable mechanism; a refusal shows the
    // server's reply and fails.
    void Authenticate(const TSmtpCapabilities& caps);
    [[noreturn]] void LoginFailed(const std::string& reply);
    void AuthenticateWithToken(const TSmtpCapabilities& caps);
    // Every line of one reply ("250-..." continues it).
    std::vector<std::string> ReadReplyLines();
    static constexpr std::size_t kMaxReplyLines = 1000;
    // One reply, continuation lines included; shown as status. A reply
    // whose code does not begin with wantClass fails the dialog.
    std::string ReadReply(char wantClass, bool show);

    bool accepted_ = false;
};
