#include "mail/ExportMessage.h"

#include <ctime>

#include "common/Base64.h"
#include "common/DisplayDate.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/MimeTypes.h"
#include "common/Windows1252.h"
#include "incoming/MailHeader.h"
#include "mail/RecordBody.h"
#include "richtext/PlainText.h"
#include "store/HeaderItem.h"
#include "transport/FileNameParameter.h"
#include "transport/HeaderFold.h"
#include "transport/MailDate.h"
#include "transport/QuotedPrintable.h"

namespace {

void Line(std::string& out, std::string_view line) {
    out.append(line);
    out += "\r\n";
}

void Header(std::string& out, const std::string& field) {
    for (const auto& line : headerfold::Fold(field)) Line(out, line);
}

std::string Words(const std::string& utf8) { return qp::NeedsWords(utf8) ? qp::EncodeWords(utf8, "utf-8") : utf8; }

// Every line of a text (LF or CR LF ends) as quoted-printable lines.
void QuotedPrintable(std::string& out, std::string_view text) {
    while (!text.empty()) {
        auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        for (const auto& encoded : qp::EncodeLine(line)) Line(out, encoded);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Splits an address list at commas outside quotes and angle brackets.
std::vector<std::string> Addresses(const std::string& list) {
    std::vector<std::string> parts;
    std::string current;
    bool quoted = false;
    int angle = 0;
    for (const char c : list) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '<') ++angle;
        if (!quoted && c == '>' && angle > 0) --angle;
        if (c == ',' && !quoted && angle == 0) {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

bool IsAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 126) return false;
    return true;
}

std::string Unquoted(std::string s) {
    s = mailheader::TrimBlanks(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

std::string TExportMessage::AddressField(const std::string& utf8) {
    std::string out;
    for (const std::string& raw : Addresses(utf8)) {
        const std::string entry = mailheader::TrimBlanks(raw);
        if (entry.empty()) continue;
        if (!out.empty()) out += ", ";
        const auto open = entry.rfind('<');
        if (open == std::string::npos || IsAscii(entry)) {
            out += entry;
            continue;
        }
        out += qp::EncodeWords(Unquoted(entry.substr(0, open)), "utf-8") + " " + entry.substr(open);
    }
    return out;
}

std::string TExportMessage::EnvelopeSender(const THeaderItem& record, const std::string& sender) {
    const bool outgoing = record.Has(mfQueued) || record.Has(mfSent);
    const std::string from = outgoing ? sender : fieldtext::Decode(record.Address.str());
    std::string address = mailheader::AddressPart(from);
    for (char& c : address)
        if (c == ' ' || static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 126) c = '_';
    return address.empty() || address.find('@') == std::string::npos ? std::string("MAILER-DAEMON") : address;
}

TExportMessage::TResult TExportMessage::Build(const THeaderItem& record, const std::string& storedBody,
                                              const std::string& sender, std::uint64_t number) {
    TResult result;
    std::string& out = result.bytes;
    const bool outgoing = record.Has(mfQueued) || record.Has(mfSent);
    const std::string address = fieldtext::Decode(record.Address.str());
    const std::string cc = fieldtext::Decode(record.CCList);
    if (outgoing) {
        Header(out, "From: " + (sender.empty() ? std::string("undisclosed-sender:;") : AddressField(sender)));
        Header(out, "To: " + AddressField(address));
        if (!mailheader::TrimBlanks(cc).empty()) Header(out, "Cc: " + AddressField(cc));
    } else {
        Header(out, "From: " + (address.empty() ? std::string("undisclosed-sender:;") : AddressField(address)));
        if (!mailheader::TrimBlanks(cc).empty()) Header(out, "To: " + AddressField(cc));
    }
    Header(out, "Subject: " + Words(fieldtext::Decode(record.Subject.str())));
    const std::time_t when = displaydate::Parse(record.Date.str()).value_or(0);
    Line(out, "Date: " + maildate::Rfc5322(when));
    // The same record gives the same identity, so a message exported twice
    // is known again by an import.
    const std::size_t hash = std::hash<std::string>{}(record.Date.str() + '\x01' + record.Address.str() + '\x01' +
                                                      record.Subject.str() + '\x01' + std::to_string(number));
    Line(out, "Message-ID: " + maildate::MessageId(when, std::to_string(hash), mailheader::AddressPart(address)));
    Line(out, "MIME-Version: 1.0");
    const bool read = !record.Has(mfNew) && !record.Has(mfQueued);
    Line(out, std::string("Status: ") + (read ? "RO" : "O"));
    if (record.Has(mfReply)) Line(out, "X-Status: A");

    std::vector<std::string> files;
    for (std::size_t start = 0; start < record.Attachments.size();) {
        auto end = record.Attachments.find('\x02', start);
        if (end == std::string::npos) end = record.Attachments.size();
        if (end > start) files.push_back(record.Attachments.substr(start, end - start));
        start = end + 1;
    }
    const bool rich = TRecordBody::IsRich(storedBody);
    const bool plainOnly = !rich || record.MsgType.str() == "Text";
    const std::string plain = rich ? plaintext::Utf8(TRecordBody::DocumentOf(storedBody)) : cp1252::ToUtf8(storedBody);
    // Quoted-printable never writes "=_", so no part can hold the boundaries.
    const std::string mixed = "=_skfp_mixed_" + std::to_string(hash);
    const std::string alternative = "=_skfp_alt_" + std::to_string(hash);
    if (!files.empty()) {
        Line(out, "Content-Type: multipart/mixed; boundary=\"" + mixed + "\"");
        Line(out, "");
        Line(out, "This is a multi-part message in MIME format.");
        Line(out, "--" + mixed);
    }
    const auto plainPart = [&] {
        Line(out, "Content-Type: text/plain; charset=utf-8");
        Line(out, "Content-Transfer-Encoding: quoted-printable");
        Line(out, "");
        QuotedPrintable(out, plain);
    };
    if (plainOnly) {
        plainPart();
    } else {
        Line(out, "Content-Type: multipart/alternative; boundary=\"" + alternative + "\"");
        Line(out, "");
        Line(out, "--" + alternative);
        plainPart();
        Line(out, "--" + alternative);
        Line(out, "Content-Type: text/rtf");
        Line(out, "Content-Transfer-Encoding: quoted-printable");
        Line(out, "");
        QuotedPrintable(out, storedBody);
        Line(out, "--" + alternative + "--");
    }
    if (files.empty()) return result;
    const TMimeTypes types;
    for (const std::string& stored : files) {
        std::string path = fieldtext::Decode(stored);
        if (!fileutil::Exists(path)) path = stored;
        const auto bytes = fileutil::ReadAll(path);
        if (!bytes) {
            result.missing.push_back(path);
            continue;
        }
        const std::string name = BaseName(path);
        Line(out, "--" + mixed);
        Header(out, "Content-Type: " + types.TypeOf(name) + "; " + filenameparam::NameParameter(name));
        Header(out, "Content-Disposition: attachment; " + filenameparam::FileNameParameter(name));
        Line(out, "Content-Transfer-Encoding: base64");
        Line(out, "");
        const auto* data = reinterpret_cast<const unsigned char*>(bytes->data());
        for (std::size_t at = 0; at < bytes->size(); at += 57) {
            base64::Append(out, data + at, std::min<std::size_t>(57, bytes->size() - at));
            out += "\r\n";
        }
    }
    Line(out, "--" + mixed + "--");
    return result;
}
