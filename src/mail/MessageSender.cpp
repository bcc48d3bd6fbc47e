#include "mail/MessageSender.h"

#include <cstdint>

#include "book/FilterEngine.h"
#include "common/Clock.h"
#include "common/DisplayDate.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/Windows1252.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/AccountTokens.h"
#include "mail/MessageMover.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/RecipientList.h"
#include "transport/SMTP.h"
#include "transport/TimedOutError.h"
#include "transport/TransferDisplay.h"

namespace {

// The lines of a stored body; its last line end opens no further line.
std::vector<std::string> BodyLines(const std::string& body) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        std::string line = body.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// A stored line as RTF text: what Windows-1252 holds as its bytes, as the
// signature always went; any other character as a Unicode escape.
std::string EscapeRtf(const std::string& line) {
    std::string out;
    const std::string utf8 = fieldtext::Decode(line);
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = cp1252::DecodeUtf8(utf8, pos).value_or(U'?');
        if (const auto b = cp1252::FromUnicode(cp)) {
            if (*b == '\\' || *b == '{' || *b == '}') out += '\\';
            out += static_cast<char>(*b);
        } else if (cp > 0xFFFF) {
            const char32_t v = cp - 0x10000;
            for (const char32_t unit : {0xD800 + (v >> 10), 0xDC00 + (v & 0x3FF)})
                out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
        } else {
            out += "\\u" + std::to_string(static_cast<std::int16_t>(cp)) + "?";
        }
    }
    return out;
}

// The body lines of a plain-text message: in Windows-1252 when it holds
// them all, as they always went, else in UTF-8.
void SetPlainBody(TOutgoingMessage& message, std::vector<std::string> utf8Lines) {
    std::vector<std::string> western;
    western.reserve(utf8Lines.size());
    for (const auto& line : utf8Lines) {
        auto bytes = fieldtext::ToWindows1252(line);
        if (!bytes) {
            message.Body = std::move(utf8Lines);
            message.Utf8Body = true;
            return;
        }
        western.push_back(std::move(*bytes));
    }
    message.Body = std::move(western);
    message.Utf8Body = false;
}

}  // namespace

TMessageSender::TMessageSender(const TMailEnv& env, TMailStore& store, TAccountList& accounts, TLists lists,
                               IFilterActions& actions, TMimeTypes mimeTypes)
    : env_(env),
      store_(store),
      accounts_(accounts),
      lists_(std::move(lists)),
      actions_(actions),
      mimeTypes_(std::move(mimeTypes)) {}

TMessageSender::~TMessageSender() = default;

TMessageSender::TLists TMessageSender::TLists::Read(const std::string& dataFolder) {
    return {listfile::Read(fileutil::FindNoCase(dataFolder, cfg::kAddressFile)),
            listfile::Read(fileutil::FindNoCase(dataFolder, cfg::kSignatureFile)),
            listfile::Read(fileutil::FindNoCase(dataFolder, cfg::kFilterFile))};
}

const TListRow* TMessageSender::FindSignature(const std::vector<TListRow>& signatures, const std::string& name) {
    for (const auto& row : signatures)
        if (row.caption == name) return &row;
    return nullptr;
}

void TMessageSender::AppendRtfSignature(std::vector<std::string>& body, const std::vector<std::string>& signature) {
    // The last line closes the document; the signature goes before it.
    if (body.size() > 1) body.pop_back();
    body.push_back("\\pard ");
    for (const auto& line : signature) body.push_back("\\par " + EscapeRtf(line));
    body.push_back("\\par }");
}

bool TMessageSender::Prepare(TSMTP& smtp, TOutgoingMessage& message, const THeaderItem& item,
                             const std::vector<std::string>& attachments, std::string& body) {
    TRecipientList recipients;
    recipients.to = TRecipientList::Split(item.Address.str());
    recipients.cc = TRecipientList::Split(item.CCList);
    recipients.bcc = TRecipientList::Split(item.BCCList);
    recipients.ExpandBook(lists_.book);
    // The message goes out in UTF-8 (OutgoingMessage.h); the store keeps the
    // stored form.
    const auto decoded = [](std::vector<std::string> texts) {
        for (auto& t : texts) t = fieldtext::Decode(t);
        return texts;
    };
    message.ToList = decoded(std::move(recipients.to));
    message.CCList = decoded(std::move(recipients.cc));
    message.BCCList = decoded(std::move(recipients.bcc));
    message.Attachments = decoded(attachments);
    message.Subject = fieldtext::Decode(item.Subject.str());

    if (!store_.Files().ReadBody(item, body)) return false;
    if (item.MsgType.str() == "RTF") {
        message.BodyType = 0;
        message.Body = BodyLines(body);
    } else {
        message.BodyType = 1;
        for (const auto& line : plaintext::Lines(TRtfReader::Read(body))) {
            message.Body.emplace_back();
            for (const char32_t c : line) cp1252::AppendUtf8(message.Body.back(), c);
        }
    }

    const TIniFile& config = store_.Config();
    const int priority = config.Read(cfg::SmtpPriority);
    message.Priority = priority == 0 || priority == 2 ? static_cast<std::uint8_t>(priority) : 1;

    for (const auto& account : accounts_.Accounts())
        if (account.alias == item.Server.str()) {
            message.From = fieldtext::Decode(account.From());
            smtp.Server = account.smtpServer;
            smtp.Security = account.SmtpSecurity();
            smtp.TrustedFingerprint = account.smtpFingerprint;
            smtp.UserName = account.popUserName;
            smtp.Password = account.popPassword;
            oauthAccount_ = account.oauthProvider.empty() ? nullptr : &account;
            break;
        }

    if (const TListRow* signature = FindSignature(lists_.signatures, item.Signature.str())) {
        const std::vector<std::string> lines = listfile::SplitLines(signature->SubItem(0));
        if (message.BodyType == 0) {
            AppendRtfSignature(message.Body, lines);
        } else {
            message.Body.emplace_back();
            for (const auto& line : lines) message.Body.push_back(fieldtext::Decode(line));
        }
    }
    if (message.BodyType == 1) SetPlainBody(message, std::move(message.Body));

    smtp.ProxyServer = config.Read(cfg::ProxyServer);
    smtp.UseProxy = config.Read(cfg::ProxyUse);
    // A time-out of 0 would end every wait before it began.
    smtp.TimeOut = config.ReadPositive(cfg::SmtpTimeOut);
    return true;
}

bool TMessageSender::SendMessage(const THeaderItem& item, const std::vector<std::string>& attachments) {
    // A record already queued (as the composer saves it just before) is
    // written once, not again here.
    const auto queued = static_cast<std::uint8_t>((item.Flags & ~mfSent) | mfQueued);
    if (item.Flags != queued)
        store_.ChangeRecord(store_.Headers().HandleOf(&item), [queued](THeaderItem& record) { record.Flags = queued; });

    current_ = std::make_unique<TSMTP>(env_);
    TSMTP& smtp = *current_;
    TOutgoingMessage message;
    std::string body;
    if (!Prepare(smtp, message, item, attachments, body)) {
        env_.display.ShowStatus(kNoBody);
        current_.reset();
        return false;
    }
    // A certificate the user chose to trust stays trusted, whatever became
    // of the message.
    const auto keepTrust = [&] {
        if (!smtp.TrustChanged()) return;
        if (TAccount* account = accounts_.Find(item.Server.str())) {
            account->smtpFingerprint = smtp.TrustedFingerprint;
            accounts_.SaveSettings();
        }
    };
    // Whatever ended it, the status line says the operation is over; a box
    // has already told the reason where the client found it.
    const auto failed = [&] {
        keepTrust();
        env_.display.ShowStatus(kCanceled);
        current_.reset();
        return false;
    };
    if (oauthAccount_) {
        smtp.AccessToken = TAccountTokens(env_, accounts_, store_.DataFolder()).For(*oauthAccount_);
        oauthAccount_ = nullptr;
        if (smtp.AccessToken.empty()) return failed();
    }
    try {
        const std::string data = TMessageBuilder(env_.clock, env_.prompt, env_.display, mimeTypes_).Build(message);
        smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), data);
        keepTrust();
    } catch (const ECanceledError&) {
        return failed();
    } catch (const EMailError&) {
        return failed();
    } catch (const ETimedOutError&) {
        return failed();
    }
    const std::string from = message.From;
    current_.reset();
    Delivered(item, from, body);
    return true;
}

void TMessageSender::Delivered(const THeaderItem& item, const std::string& from, const std::string& body) {
    const std::string date = displaydate::Format(env_.clock.Now());
    store_.ChangeRecord(store_.Headers().HandleOf(&item), [&date](THeaderItem& record) {
        record.Flags = static_cast<std::uint8_t>((record.Flags | mfSent) & ~mfQueued);
        record.Date = date;
    });

    std::string target = TMailboxName::kSentBox;
    filterengine::Apply(lists_.filters, from + item.CCList + item.BCCList, item.Subject.str(), filterengine::kOutgoing,
                        body, target, 255, actions_);
    const std::string source = item.Mailbox.str();
    // The rows on view follow the move through the store's events; no
    // refill of the whole mailbox is needed.
    if (target != source) TMessageMover(store_).MoveToMailbox({store_.Headers().HandleOf(&item)}, target);
}

void TMessageSender::Cancel() {
    if (current_) current_->Cancel();
}
