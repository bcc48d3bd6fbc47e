#include "mail/MessageCreator.h"

#include "book/FilterEngine.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "incoming/MailHeader.h"
#include "store/MailStore.h"

std::string TMessageCreator::BodyText(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

int TMessageCreator::CreateMessage(const TNewMessage& message) {
    const std::string body = BodyText(message.body);
    THeaderItem item;
    std::string mailbox = message.mailbox;
    filterengine::Apply(filters_, message.to + message.cc, message.subject, filterengine::kOutgoing, body, mailbox,
                        kMailboxLimit, actions_);
    item.Subject = message.subject;
    item.Mailbox = mailbox;
    const std::string who = mailheader::NamePart(message.to);
    item.Who = who.empty() ? message.to : who;
    item.Address = message.to;
    item.WindowHandle = -1;
    item.Attachments = message.attachments;
    item.Offset = -1;
    item.Size = 0;
    item.Slack = 100;
    item.Date = message.date;
    item.Signature = "No Signature";
    item.Flags = message.flags;
    item.MsgType = store_.Config().Read(cfg::MessageTypeNew);
    item.BCCList = message.bcc;
    item.CCList = message.cc;
    item.Server = store_.Config().Read(cfg::DefaultServerNew);
    return store_.AddRecord(item, body);
}
