#include "transport/MessageBuilder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "common/AppTitle.h"
#include "common/Base64.h"
#include "common/Clock.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"
#include "transport/FileNameParameter.h"
#include "transport/HeaderFold.h"
#include "transport/MailDate.h"
#include "transport/MailError.h"
#include "transport/OutgoingMessage.h"
#include "transport/QuotedPrintable.h"
#include "transport/RecipientParts.h"
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

bool BodyIs8Bit(const std::vector<std::string>& body) {
    return std::any_of(body.begin(), body.end(), [](const std::string& line) { return qp::NeedsEncoding(line); });
}

bool BodyHasLongLines(const std::vector<std::string>& body) {
    return std::any_of(body.begin(), body.end(),
                       [](const std::string& line) { return line.size() > headerfold::kHardLimit; });
}

// Header text: in Windows-1252 when it holds all of it (as it always went
// out), else as encoded words of UTF-8.
std::string HeaderText(std::string_view utf8) {
    if (const auto western = fieldtext::ToWindows1252(utf8)) return qp::EncodeHeaderText(*western);
    return qp::EncodeWords(utf8, "utf-8");
}

std::string PhraseOf(std::string_view utf8) {
    if (const auto western = fieldtext::ToWindows1252(utf8)) return recipient::Phrase(*western);
    return qp::EncodeWords(utf8, "utf-8");
}

// A text for the transfer display, which shows stored text.
std::string Shown(const std::string& utf8) { return fieldtext::Encode(utf8, fieldtext::kNoLimit); }

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TMessageBuilder::TMessageBuilder(IClock& clock, IUserPrompt& prompt, ITransferDisplay& display, TMimeTypes mimeTypes)
    : clock_(clock), prompt_(prompt), display_(display), mimeTypes_(std::move(mimeTypes)) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(clock_.Now()) ^ std::random_device{}());
    boundary_ = RandomDigits(random, 8);
}

void TMessageBuilder::Line(std::string_view line) {
    // Each piece between line breaks is a line of its own, so that no entry
    // can end a line where the message does not (a lone CR or LF would be
    // read as a line end by some servers).
    for (;;) {
        const auto brk = line.find_first_of("\r\n");
        out_.append(line.substr(0, brk));
        out_ += "\r\n";
        if (brk == std::string_view::npos) break;
        line.remove_prefix(brk + (line.compare(brk, 2, "\r\n") == 0 ? 2 : 1));
    }
}

void TMessageBuilder::Header(const std::string& field) {
    for (const auto& line : headerfold::Fold(field)) Line(line);
}

void TMessageBuilder::Progress(int percent) {
    if (percent == lastProgress_) return;
    lastProgress_ = percent;
    display_.SetProgress(percent);
}

std::string TMessageBuilder::Build(const TOutgoingMessage& message) {
    out_.clear();
    lastProgress_ = -1;
    // 8-bit text would be mangled by a 7-bit path, and a line longer than
    // SMTP allows would be cut or refused; either travels as
    // quoted-printable, whose lines are short, saying which character set
    // it is.
    const bool eightBit = BodyIs8Bit(message.Body);
    const bool bodyEncoded = eightBit || BodyHasLongLines(message.Body);
    Headers(message, bodyEncoded, eightBit);
    Body(message, bodyEncoded);
    for (std::size_t i = 0; i < message.Attachments.size(); ++i) Attach(message.Attachments[i], i);
    if (!message.Attachments.empty()) Line("--" + boundary_ + "--");
    return std::move(out_);
}

void TMessageBuilder::Headers(const TOutgoingMessage& message, bool bodyEncoded, bool eightBit) {
    const auto person = [](const std::string& entry) {
        return PhraseOf(recipient::NameOf(entry)) + " <" + recipient::EnvelopeAddress(entry) + ">";
    };
    const auto& to = message.ToList;
    const auto& cc = message.CCList;
    Header("Subject:  " + HeaderText(message.Subject));
    display_.ShowStatus(
        Shown("Mail From: " + recipient::NameOf(message.From) + " <" + recipient::AddressOf(message.From) + ">"));
    Header("From:     " + person(message.From));
    // Each address has a line of its own, which continues the field; a line
    // too long is folded further.
    for (std::size_t i = 0; i < to.size(); ++i) {
        display_.ShowStatus(Shown("Mail To: " + recipient::NameOf(to[i]) + " <" + recipient::AddressOf(to[i]) + ">"));
        Header((i == 0 ? "TO:       " : kTenBlanks) + person(to[i]) + (i + 1 < to.size() ? "," : ""));
    }
    for (std::size_t i = 0; i < cc.size(); ++i)
        Header((i == 0 ? "CC:       " : kTenBlanks) + person(cc[i]) + (i + 1 < cc.size() ? "," : ""));
    if (message.Priority == 0) Line("X-Priority: 5");
    if (message.Priority == 2) Line("X-Priority: 1");
    Line(std::string("X-Application: ") + kAppTitle);
    Line(kInfoLine);
    // Every message needs these two (RFC 5322); they follow the lines the
    // program always wrote.
    const std::time_t now = clock_.Now();
    Line("Date: " + maildate::Rfc5322(now));
    std::mt19937 random(static_cast<std::mt19937::result_type>(now) ^ std::random_device{}());
    Header("Message-ID: " +
           maildate::MessageId(now, boundary_ + RandomDigits(random, 8), recipient::AddressOf(message.From)));
    Line("Mime-Version: 1.0");
    if (!message.Attachments.empty()) {
        Line("Content-Type: multipart/mixed; boundary=" + std::string(1, kDQ) + boundary_ + kDQ);
        Line("X-Encoding: MIME");
        Line("");
        Line("This is a multi-part message in MIME format.");
        Line("");
        Line("--" + boundary_);
    }
    const std::string type = message.BodyType == 0 ? "text/rtf" : "text/plain";
    if (bodyEncoded) {
        const char* charset = !eightBit ? "us-ascii" : message.Utf8Body ? "utf-8" : "windows-1252";
        Line("Content-Type: " + type + "; charset=" + kDQ + charset + kDQ);
        Line("Content-Transfer-Encoding: quoted-printable");
    } else {
        Line("Content-Type: " + type + "; charset=" + kDQ + "us-ascii" + kDQ);
        Line("Content-Transfer-Encoding: 7bit");
    }
}

void TMessageBuilder::Body(const TOutgoingMessage& message, bool bodyEncoded) {
    Line("");
    for (const auto& bodyLine : message.Body) {
        if (bodyEncoded)
            for (const auto& line : qp::EncodeLine(bodyLine)) Line(line);
        else
            Line(bodyLine);
    }
}

void TMessageBuilder::Attach(const std::string& path, std::size_t index) {
    if (index == 0) Line("");
    if (!fileutil::Exists(path)) {
        prompt_.Error(Shown(std::string(kAppTitle) + " could not attach file " + kDQ + path + kDQ + "\n\r" +
                            "Reason: File no longer exists."));
        return;
    }
    const std::string type = mimeTypes_.TypeOf(path);
    const std::string name = BaseName(path);
    display_.ShowStatus(Shown("Encoding file " + name));
    Line("");
    Line("--" + boundary_);
    Header("Content-Type: " + type + "; " + filenameparam::NameParameter(name));
    Header("Content-Disposition: attachment; " + filenameparam::FileNameParameter(name));
    if (text::ToUpperAscii(type.substr(0, 5)) != "TEXT/") {
        Line("Content-Transfer-Encoding: base64");
        Line("");
        AppendBase64(path);
    } else {
        Line("Content-Transfer-Encoding: quoted-printable");
        Line("");
        AppendQuotedPrintable(path);
    }
    Line("");
}

void TMessageBuilder::AttachmentFailed(const std::string& path) {
    display_.ShowProgress(false);
    prompt_.Error(Shown(std::string(kAppTitle) + " could not attach file " + kDQ + path + kDQ + "\n\r" +
                        "Reason: File I/O error"));
    throw EMailError();
}

void TMessageBuilder::AppendBase64(const std::string& path) {
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) AttachmentFailed(path);
    std::fseek(file.get(), 0, SEEK_END);
    const long long length = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);
    const long long size = length <= 0 ? 1 : length;
    display_.ShowProgress(true);
    // Many lines are read and encoded at a time; each still ends up as one
    // line of 76 characters for 57 bytes, and a short read ends the file.
    constexpr std::size_t kLineBytes = 57;
    constexpr std::size_t kLinesPerRead = 1024;
    std::vector<unsigned char> block(kLineBytes * kLinesPerRead);
    if (length > 0) out_.reserve(out_.size() + static_cast<std::size_t>(length) / kLineBytes * 78 + 80);
    long long position = 0;
    for (bool ended = false; !ended;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (std::ferror(file.get())) AttachmentFailed(path);
        for (std::size_t at = 0; at < got; at += kLineBytes)
            base64::Append(out_, block.data() + at, std::min(kLineBytes, got - at)), out_ += "\r\n";
        if (got < block.size()) {
            // A file that ends on a whole line is closed by an empty line,
            // as the short read of nothing at its end gives.
            if (got % kLineBytes == 0) out_ += "\r\n";
            ended = true;
        }
        position += static_cast<long long>(got);
        Progress(static_cast<int>(position * 100 / size));
    }
    display_.ShowProgress(false);
    // A file cut shorter while it was read ends early without an error.
    if (position < length) AttachmentFailed(path);
}

void TMessageBuilder::AppendQuotedPrintable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) AttachmentFailed(path);
    file.seekg(0, std::ios::end);
    const long long length = static_cast<long long>(file.tellg());
    file.seekg(0, std::ios::beg);
    const long long size = length <= 0 ? 1 : length;
    std::string line;
    long long position = 0;
    while (std::getline(file, line)) {
        // The last line may end without a line feed.
        position += static_cast<long long>(line.size()) + (file.eof() ? 0 : 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Progress(static_cast<int>(std::min(position, size) * 100 / size));
        for (const auto& encoded : qp::EncodeLine(line)) Line(encoded);
    }
    // A read error, or a file cut shorter while it was read, leaves the
    // attachment incomplete.
    if (file.bad() || position < length) AttachmentFailed(path);
}
