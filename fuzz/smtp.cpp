// A message of arbitrary subject and body lines sent against arbitrary
// server answers: the client never crashes, fails only with the transport's
// three exceptions, and the message data it wrote is ended by the one
// end-of-data line it sends last, whatever the body held.
#include "transport/SMTP.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "QuietParts.h"
#include "common/Clock.h"
#include "common/EventPump.h"
#include "common/FileUtil.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/SocketFactory.h"
#include "transport/TimedOutError.h"

namespace {

// The answers, as pieces of one receive each: a length byte, then that many
// bytes. Everything the client sends is kept.
class TFuzzSocket : public ISocket {
public:
    TFuzzSocket(std::string_view answers, std::string& written) : answers_(answers), written_(written) {}
    bool StartConnect(std::uint32_t, std::uint16_t) override { return true; }
    int ConnectResult() override { return 0; }
    unsigned Wait(unsigned wanted, int) override { return wanted & (kReadable | kWritable); }
    long Receive(char* buffer, std::size_t size) override {
        if (answers_.empty()) return 0;
        const std::size_t length = static_cast<unsigned char>(answers_[0]);
        answers_.remove_prefix(1);
        std::size_t n = std::min(length, answers_.size());
        if (n == 0) return kWouldBlock;
        n = std::min(n, size);
        std::copy(answers_.begin(), answers_.begin() + static_cast<std::ptrdiff_t>(n), buffer);
        answers_.remove_prefix(n);
        return static_cast<long>(n);
    }
    long Send(const char* data, std::size_t size) override {
        written_.append(data, size);
        return static_cast<long>(size);
    }

private:
    std::string_view answers_;
    std::string& written_;
};

class TFuzzNet : public ISocketFactory {
public:
    TFuzzNet(std::string_view answers, std::string& written) : answers_(answers), written_(written) {}
    std::unique_ptr<IHostLookup> LookupHost(const std::string&) override { return nullptr; }
    std::optional<std::uint16_t> LookupService(const std::string&) override { return 25; }
    std::unique_ptr<ISocket> Open(const TEndpoint&) override {
        return std::make_unique<TFuzzSocket>(answers_, written_);
    }

private:
    std::string_view answers_;
    std::string& written_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One byte for the length of the message text (subject line, then body
    // lines), the text, then the server's answers.
    if (size < 1) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t textLength = std::min<std::size_t>(data[0], input.size());
    std::string_view text = input.substr(0, textLength);
    const std::string_view answers = input.substr(textLength);

    const std::string folder = "/tmp/skfp-fuzz-smtp-" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    fileutil::WriteAtomically(folder + "a.txt", "one\r\n.\r\ntwo\r\n");

    std::string written;
    TFuzzNet net(answers, written);
    TTicking time;
    TQuietDisplay quiet;
    TSMTP smtp({net, time, time, quiet, quiet});
    TOutgoingMessage message;
    TMessageBuilder builder(time, quiet, quiet);
    smtp.Server = "127.0.0.1";
    smtp.TimeOut = 3;
    message.From = "Ann <ann@example.org>";
    message.ToList = {"bob@example.net"};
    message.BodyType = 1;
    const auto nl = text.find('\n');
    message.Subject = std::string(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    while (!text.empty()) {
        const auto end = text.find('\n');
        message.Body.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    message.Attachments = {folder + "a.txt"};

    bool sent = false;
    try {
        smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message));
        sent = true;
    } catch (const EMailError&) {
    } catch (const ECanceledError&) {
    } catch (const ETimedOutError&) {
    }
    const auto start = written.find("\r\nDATA\r\n");
    if (sent) {
        // Accepted only after the data went out whole.
        if (start == std::string::npos) std::abort();
        const auto end = written.find("\r\n.\r\n", start + 6);
        if (end == std::string::npos) std::abort();
        const std::string after = written.substr(end + 5);
        if (!after.empty() && after != "QUIT\r\n") std::abort();
        // No subject or name can add a header line of its own: each line
        // of the header block names its header or continues the one above.
        const std::string data = written.substr(start + 8, end + 2 - (start + 8));
        const auto blank = data.find("\r\n\r\n");
        std::string_view header =
            std::string_view(data).substr(0, blank == std::string::npos ? data.size() : blank + 2);
        while (!header.empty()) {
            const auto eol = header.find("\r\n");
            const std::string_view line = header.substr(0, eol);
            if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
            const bool continues = !line.empty() && (line[0] == ' ' || line[0] == '\t');
            const auto colon = line.find(':');
            if (!continues && (colon == std::string_view::npos || colon == 0 ||
                               line.substr(0, colon).find(' ') != std::string_view::npos))
                std::abort();
            header.remove_prefix(eol == std::string_view::npos ? header.size() : eol + 2);
        }
    }
    std::filesystem::remove_all(folder);
    return 0;
}
