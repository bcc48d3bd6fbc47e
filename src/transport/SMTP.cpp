#include "transport/SMTP.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"
#include "common/Base64.h"
#include "transport/CanceledError.h"
#include "transport/FileNameParameter.h"
#include "transport/HeaderFold.h"
#include "transport/MailDate.h"
#include "transport/MailError.h"
#include "transport/QuotedPrintable.h"
#include "transport/RecipientParts.h"
#include "transport/SmtpAuth.h"
#include "transport/TransferDisplay.h"

namespace {

constexpr char kDQ = '"';
constexpr const char* kInfoLine = "X-Info: Fenmarch Skiffpost - http://www.fenmarch.example/";
constexpr const char* kTenBlanks = "          ";

std::string RandomDigits(std::mt19937& random, int count) {
    // Digits 0 to 8, as the boundaries always were.
    std::uniform_int_distribution<int> digit(0, 8);
    std::string out;
    for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + digit(random)));
    return out;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TSMTP::TSMTP(const TMailEnv& env, TMimeTypes mimeTypes) : TMailBase(env, "smtp", 25), mimeTypes_(std::move(mimeTypes)) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(env.clock.Now()) ^ std::random_device{}());
    boundary_ = RandomDigits(random, 8);
}

void TSMTP::Connect() {
    ShowStatus("Connecting to SMTP Server " + Server + ".");
    ResetFlags();
    SetService(security::SmtpService(Security), security::StandardSmtpPort(Security));
    TMailBase::Connect();
    std::string greeting = Greeting();
    while (greeting.size() >= 4 && greeting[3] == '-') greeting = ReadLine();
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

void TSMTP::SendCommand(const std::string& text) {
    Queue(text + "\r\n", TSendFailure::Canceled);
}

void TSMTP::SendData(const std::string& line) {
    // A line break inside an entry starts a line of its own, which must be
    // stuffed too: otherwise a "." line in it would end the data early.
    std::string_view rest = line;
    for (;;) {
        const auto brk = rest.find_first_of("\r\n");
        const std::string_view piece = rest.substr(0, brk);
        if (!piece.empty() && piece[0] == '.') SendCommand("." + std::string(piece));
        else SendCommand(std::string(piece));
        if (brk == std::string_view::npos) break;
        rest.remove_prefix(brk + (rest.compare(brk, 2, "\r\n") == 0 ? 2 : 1));
    }
}

void TSMTP::SendHeader(const std::string& field) {
    for (const auto& line : headerfold::Fold(field)) SendData(line);
}

std::string TSMTP::EnvelopeAddress(const std::string& entry) {
    // An address is one word on one line; anything else would be read by
    // the server as further commands.
    std::string address = recipient::AddressOf(entry);
    for (char& c : address)
        if (c == '\r' || c == '\n' || c == '<' || c == '>') c = ' ';
    return address;
}

std::vector<std::string> TSMTP::ReadReplyLines() {
    Flush(TSendFailure::Canceled);
    std::vector<std::string> lines{ReadLine()};
    // A reply may run over several lines ("250-..."); its last has a blank
    // after the code.
    while (lines.back().size() >= 4 && lines.back()[3] == '-') lines.push_back(ReadLine());
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

void TSMTP::Send() {
    accepted_ = false;
    try {
        Connect();
        Hello();
        Envelope();
        Headers();
        SendBody();
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

void TSMTP::Authenticate(const TSmtpCapabilities& caps) {
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

void TSMTP::Envelope() {
    SendCommand("MAIL FROM:<" + EnvelopeAddress(From) + ">");
    ReadReply('2', false);
    for (const auto* list : {&ToList, &CCList, &BCCList})
        for (const auto& entry : *list) {
            SendCommand("RCPT TO:<" + EnvelopeAddress(entry) + ">");
            ReadReply('2', true);
        }
    ShowStatus("Sending Data...");
    SendCommand("DATA");
    ReadReply('3', false);
}

bool TSMTP::BodyIs8Bit() const {
    for (const auto& line : Body)
        if (qp::NeedsEncoding(line)) return true;
    return false;
}

bool TSMTP::BodyHasLongLines() const {
    for (const auto& line : Body)
        if (line.size() > headerfold::kHardLimit) return true;
    return false;
}

void TSMTP::Headers() {
    const auto person = [](const std::string& entry) {
        return recipient::Phrase(recipient::NameOf(entry)) + " <" + EnvelopeAddress(entry) + ">";
    };
    SendHeader("Subject:  " + qp::EncodeHeaderText(Subject));
    ShowStatus("Mail From: " + recipient::NameOf(From) + " <" + recipient::AddressOf(From) + ">");
    SendHeader("From:     " + person(From));
    // Each address has a line of its own, which continues the field; a line
    // too long is folded further.
    for (std::size_t i = 0; i < ToList.size(); ++i) {
        const std::string& entry = ToList[i];
        ShowStatus("Mail To: " + recipient::NameOf(entry) + " <" + recipient::AddressOf(entry) + ">");
        SendHeader((i == 0 ? "TO:       " : kTenBlanks) + person(entry) + (i + 1 < ToList.size() ? "," : ""));
    }
    for (std::size_t i = 0; i < CCList.size(); ++i)
        SendHeader((i == 0 ? "CC:       " : kTenBlanks) + person(CCList[i]) + (i + 1 < CCList.size() ? "," : ""));
    if (Priority == 0) SendData("X-Priority: 5");
    if (Priority == 2) SendData("X-Priority: 1");
    SendData(std::string("X-Application: ") + kAppTitle);
    SendData(kInfoLine);
    // Every message needs these two (RFC 5322); they follow the lines the
    // program always wrote.
    const std::time_t now = Env().clock.Now();
    SendData("Date: " + maildate::Rfc5322(now));
    std::mt19937 random(static_cast<std::mt19937::result_type>(now) ^ std::random_device{}());
    SendHeader("Message-ID: " + maildate::MessageId(now, boundary_ + RandomDigits(random, 8), recipient::AddressOf(From)));
    SendData("Mime-Version: 1.0");
    if (!Attachments.empty()) {
        SendData("Content-Type: multipart/mixed; boundary=" + std::string(1, kDQ) + boundary_ + kDQ);
        SendData("X-Encoding: MIME");
        SendData("");
        SendData("This is a multi-part message in MIME format.");
        SendData("");
        SendData("--" + boundary_);
    }
    // 8-bit text would be mangled by a 7-bit path, and a line longer than
    // SMTP allows would be cut or refused; either travels as
    // quoted-printable, whose lines are short, saying which character set
    // it is.
    const bool eightBit = BodyIs8Bit();
    bodyEncoded_ = eightBit || BodyHasLongLines();
    const std::string type = BodyType == 0 ? "text/rtf" : "text/plain";
    if (bodyEncoded_) {
        SendData("Content-Type: " + type + "; charset=" + kDQ + (eightBit ? "windows-1252" : "us-ascii") + kDQ);
        SendData("Content-Transfer-Encoding: quoted-printable");
    } else {
        SendData("Content-Type: " + type + "; charset=" + kDQ + "us-ascii" + kDQ);
        SendData("Content-Transfer-Encoding: 7bit");
    }
}

void TSMTP::SendBody() {
    ShowStatus("Sending Message...");
    SendData("");
    const std::size_t n = Body.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (bodyEncoded_)
            for (const auto& line : qp::EncodeLine(Body[k])) SendData(line);
        else
            SendData(Body[k]);
        if (n != 1) SetProgress(static_cast<int>((k * 100 + (n - 1) / 2) / (n - 1)));
        if (CancelRequested()) Flush(TSendFailure::Canceled);
    }
    for (std::size_t i = 0; i < Attachments.size(); ++i) AttachFile(Attachments[i], i);
    if (!Attachments.empty()) SendData("--" + boundary_ + "--");
    SendCommand(".");
    ReadReply('2', true);
    accepted_ = true;
    SetProgress(0);
}

void TSMTP::AttachFile(const std::string& path, std::size_t index) {
    if (index == 0) SendData("");
    if (!fileutil::Exists(path)) {
        Env().prompt.Error(std::string(kAppTitle) + " could not attach file " + kDQ + path + kDQ + "\n\r" +
                           "Reason: File no longer exists.");
        return;
    }
    const std::string type = mimeTypes_.TypeOf(path);
    const std::string name = BaseName(path);
    ShowStatus("Encoding file " + name);
    SendData("");
    SendData("--" + boundary_);
    SendHeader("Content-Type: " + type + "; " + filenameparam::NameParameter(name));
    const std::string disposition = "Content-Disposition: attachment; " + filenameparam::FileNameParameter(name);
    if (text::ToUpperAscii(type.substr(0, 5)) != "TEXT/") {
        ShowStatus("Encoding file " + name);
        SendHeader(disposition);
        SendData("Content-Transfer-Encoding: base64");
        SendData("");
        SendBase64(path, name);
    } else {
        SendHeader(disposition);
        SendData("Content-Transfer-Encoding: quoted-printable");
        SendData("");
        SendQuotedPrintable(path, name);
    }
    SendData("");
}

void TSMTP::AttachmentFailed(const std::string& path) {
    // The data never ends with its ".", so the server drops what it got:
    // a message with an attachment cut short is never delivered, and the
    // caller keeps it queued.
    Disconnect();
    Env().display.ShowProgress(false);
    Env().prompt.Error(std::string(kAppTitle) + " could not attach file " + kDQ + path + kDQ + "\n\r" +
                       "Reason: File I/O error");
    throw EMailError();
}

void TSMTP::SendBase64(const std::string& path, const std::string& name) {
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) AttachmentFailed(path);
    std::fseek(file.get(), 0, SEEK_END);
    const long long length = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);
    const long long size = length <= 0 ? 1 : length;
    auto& display = Env().display;
    display.ShowProgress(true);
    const std::string sending = "Sending " + name + " to " + Server + " ...";
    // Many lines are read and encoded at a time; each still ends up as one
    // line of 76 characters for 57 bytes, and a short read ends the file.
    constexpr std::size_t kLineBytes = 57;
    constexpr std::size_t kLinesPerRead = 1024;
    std::vector<unsigned char> block(kLineBytes * kLinesPerRead);
    std::string lines;
    long long position = 0;
    try {
        bool ended = false;
        while (!ended && !CancelRequested()) {
            const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
            if (std::ferror(file.get())) AttachmentFailed(path);
            lines.clear();
            for (std::size_t at = 0; at < got; at += kLineBytes)
                base64::Append(lines, block.data() + at, std::min(kLineBytes, got - at)), lines += "\r\n";
            if (got < block.size()) {
                // A file that ends on a whole line is closed by an empty
                // line, as the short read of nothing at its end gives.
                if (got % kLineBytes == 0) lines += "\r\n";
                ended = true;
            }
            position += static_cast<long long>(got);
            SetProgress(static_cast<int>(position * 100 / size));
            ShowStatus(sending);
            Queue(lines, TSendFailure::Canceled);
        }
    } catch (...) {
        display.ShowProgress(false);
        if (CancelRequested()) throw ECanceledError();
        throw;
    }
    display.ShowProgress(false);
    if (CancelRequested()) {
        Disconnect();
        throw ECanceledError();
    }
    // A file cut shorter while it was read ends early without an error.
    if (position < length) AttachmentFailed(path);
}

void TSMTP::SendQuotedPrintable(const std::string& path, const std::string& name) {
    std::ifstream file(path, std::ios::binary);
    if (!file) AttachmentFailed(path);
    file.seekg(0, std::ios::end);
    const long long length = static_cast<long long>(file.tellg());
    file.seekg(0, std::ios::beg);
    const long long size = length <= 0 ? 1 : length;
    const std::string sending = "Sending " + name + " to " + Server + " ...";
    std::string line;
    long long position = 0;
    while (std::getline(file, line)) {
        // The last line may end without a line feed.
        position += static_cast<long long>(line.size()) + (file.eof() ? 0 : 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        SetProgress(static_cast<int>(std::min(position, size) * 100 / size));
        ShowStatus(sending);
        for (const auto& encoded : qp::EncodeLine(line)) SendData(encoded);
        if (CancelRequested()) Flush(TSendFailure::Canceled);
    }
    // A read error, or a file cut shorter while it was read, leaves the
    // attachment incomplete.
    if (file.bad() || position < length) AttachmentFailed(path);
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
