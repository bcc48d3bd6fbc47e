#include <iostream>

#include "ToolStore.h"
#include "mail/MailboxExport.h"

int ExportCommand(TToolContext& ctx, const TToolArgs& args) {
    std::vector<std::string> positional;
    TMailboxExport::TFormat format = TMailboxExport::TFormat::Mbox;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format") {
            if (i + 1 >= args.size()) throw TUsageError{"--format needs mbox or eml"};
            const std::string& value = args[++i];
            if (value == "mbox")
                format = TMailboxExport::TFormat::Mbox;
            else if (value == "eml")
                format = TMailboxExport::TFormat::Eml;
            else
                throw TUsageError{"--format is mbox or eml"};
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) throw TUsageError{"export needs MAILBOX and PATH"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string mailbox = FromArg(positional[0]);
    if (!tool->Known(mailbox)) return kExitFailed;
    TMailboxExport exporter(tool->Store(), TMailboxExport::DefaultSender(ctx.Folders()->data));
    std::string error;
    if (!exporter.Run(mailbox, positional[1], format, error)) return Refuse(positional[1] + ": " + error);
    std::cout << exporter.Summary().Text(positional[1]) << '\n';
    return kExitOk;
}
