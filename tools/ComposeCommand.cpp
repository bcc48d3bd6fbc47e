#include <filesystem>
#include <iostream>

#include "ToolFilterActions.h"
#include "ToolStore.h"
#include "book/FilterList.h"
#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/DisplayDate.h"
#include "common/FileUtil.h"
#include "compose/AttachmentValue.h"
#include "config/ConfigKeys.h"
#include "mail/MessageCreator.h"
#include "richtext/FormatFile.h"
#include "store/RtfConvert.h"

namespace {

struct TComposeOptions {
    TNewMessage message;
    std::optional<std::string> textFile, server, type, signature;
};

TComposeOptions ParseOptions(const TToolArgs& args) {
    TComposeOptions o;
    std::vector<std::string> attachments;
    bool haveTo = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) throw TUsageError{"compose: " + option + " needs a value"};
        const std::string& value = args[++i];
        if (option == "--to") {
            o.message.to = FromArg(value);
            haveTo = true;
        } else if (option == "--cc")
            o.message.cc = FromArg(value);
        else if (option == "--bcc")
            o.message.bcc = FromArg(value);
        else if (option == "--subject")
            o.message.subject = FromArg(value);
        else if (option == "--text")
            o.textFile = value;
        else if (option == "--attach")
            attachments.push_back(FromArg(std::filesystem::absolute(value).string()));
        else if (option == "--server")
            o.server = FromArg(value);
        else if (option == "--type") {
            if (value != "RTF" && value != "Text") throw TUsageError{"compose: --type is RTF or Text"};
            o.type = value;
        } else if (option == "--signature")
            o.signature = FromArg(value);
        else
            throw TUsageError{"compose: unknown option \"" + option + "\""};
    }
    if (!haveTo) throw TUsageError{"compose needs --to TEXT"};
    o.message.attachments = attachmentvalue::Value(attachments);
    return o;
}

// The text file's lines (UTF-8) as the document's paragraphs.
std::vector<std::string> Paragraphs(const std::string& content) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string escaped;
        for (const char c : line) {
            if (c == '\\' || c == '{' || c == '}') escaped += '\\';
            escaped += c;
        }
        escaped = rtfconvert::EscapeNonAscii(escaped);
        out.push_back(out.empty() ? escaped : "\\par " + escaped);
        start = end + 1;
    }
    return out;
}

}  // namespace

int ComposeCommand(TToolContext& ctx, const TToolArgs& args) {
    TComposeOptions o = ParseOptions(args);
    const TFolders* folders = ctx.Folders();
    if (!folders) return kExitFailed;
    auto format = TFormatFile::Read(fileutil::FindNoCase(folders->data, cfg::kFormatFile));
    if (!format)
        return Refuse(std::string(kAppTitle) +
                      " could not create a new message.\nReason: Invalid or missing format "
                      "file.\nFix: Please setup your preferences for default messages.");
    if (o.textFile) {
        const auto content = fileutil::ReadAll(*o.textFile);
        if (!content) return Refuse("cannot read \"" + *o.textFile + "\"");
        for (auto& p : Paragraphs(*content)) format->push_back(std::move(p));
    }
    o.message.body = TFormatFile::NewBody(std::move(*format));

    std::string mailbox;
    {
        auto tool = TToolStore::Open(ctx);
        if (!tool) return kExitFailed;
        TMailStore& store = tool->Store();
        TFilterList filters;
        filters.Load(fileutil::FindNoCase(folders->data, cfg::kFilterFile));
        TToolFilterActions actions(store);
        TSystemClock clock;
        o.message.flags = mfQueued;
        if (!o.message.attachments.empty()) o.message.flags |= mfAttach;
        o.message.date = displaydate::Format(clock.Now());
        TMessageCreator creator(store, filters.Rows(), actions);
        const int handle = creator.CreateMessage(o.message);
        const THeaderItem& item = *store.Headers().At(handle);
        if (item.Offset < 0) return kExitFailed;
        mailbox = item.Mailbox.str();
        const auto choose = [&o](THeaderItem& record) {
            if (o.server) record.Server = *o.server;
            if (o.type) record.MsgType = *o.type;
            if (o.signature) record.Signature = *o.signature;
        };
        if ((o.server || o.type || o.signature) && !store.ChangeRecord(handle, choose)) return kExitFailed;
    }
    // Handles are positions in the list a run loads; the next run numbers
    // the new record as the last of its mailbox, which this run's list
    // (records appended at its end) need not agree with.
    auto reopened = TToolStore::Open(ctx);
    if (!reopened) return kExitFailed;
    const THeaders& headers = reopened->Store().Headers();
    for (int h = headers.Length() - 1; h >= 0; --h)
        if (const THeaderItem* item = headers.At(h); item && item->Mailbox.str() == mailbox) {
            PrintLine(std::to_string(h));
            return kExitOk;
        }
    return Refuse("the new message was not found in \"" + mailbox + "\"");
}
