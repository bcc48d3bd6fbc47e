#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transport/MailBase.h"
#include "transport/SmtpCapabilities.h"
#include "common/MimeTypes.h"

// Delivers one message to an SMTP server, composing its wire form line by
// line while it sends: header lines, the MIME parts of attachments, the body
// and each attachment in base64 or quoted-printable.
class TSMTP : public TMailBase {
public:
    explicit TSMTP(const TMailEnv& env, TMimeTypes mimeTypes = TMimeTypes());

    // 0: the body lines are rich-text source; 1: plain text.
    std::uint8_t BodyType = 0;
    std::vector<std::string> Attachments;  // full paths, in order
    std::vector<std::string> Body;          // one entry per line
    std::vector<std::string> BCCList, CCList, ToList;
    std::uint8_t Priority = 1;  // 0 low, 1 normal, 2 high
    std::string Subject;
    std::string From;  // nickname + " <" + return address + ">"
    // The account's POP3 user name and password, for SMTP AUTH; never sent
    // on a "None" account.
    std::string UserName;
    std::string Password;

    const std::string& Boundary() const { return boundary_; }

    void Connect() override;
    void Cancel() override;
    // The whole dialog. On failure the connection is closed and the
    // exception passes on; once the server accepted the message it counts
    // as sent, whatever happens at QUIT.
    void Send();

    void Hello();
    void Envelope();
    void Headers();
    void SendBody();
    void Quit();

    // Sends text with a CR LF line end.
    void SendCommand(const std::string& text);

private:
    // A line of the message data: a leading "." is doubled so that it
    // cannot end the data.
    void SendData(const std::string& line);
    // A header field, folded when long.
    void SendHeader(const std::string& field);
    static std::string EnvelopeAddress(const std::string& entry);
    // EHLO, and what the server offers.
    TSmtpCapabilities Ehlo();
    // Logs in when the server offers a usable mechanism; a refusal shows the
    // server's reply and fails.
    void Authenticate(const TSmtpCapabilities& caps);
    [[noreturn]] void LoginFailed(const std::string& reply);
    // Every line of one reply ("250-..." continues it).
    std::vector<std::string> ReadReplyLines();
    // One reply, continuation lines included; shown as status. A reply
    // whose code does not begin with wantClass fails the dialog.
    std::string ReadReply(char wantClass, bool show);
    void AttachFile(const std::string& path, std::size_t index);
    void SendBase64(const std::string& path, const std::string& name);
    void SendQuotedPrintable(const std::string& path, const std::string& name);
    // An attachment could not be read to its end: the box, and the send fails.
    [[noreturn]] void AttachmentFailed(const std::string& path);
    bool BodyIs8Bit() const;
    bool BodyHasLongLines() const;

    TMimeTypes mimeTypes_;
    std::string boundary_;
    bool bodyEncoded_ = false;
    bool accepted_ = false;
};
