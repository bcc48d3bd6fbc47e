#include "ToolStore.h"
#include "store/MailboxName.h"

int RenameBoxCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 2) throw TUsageError{"rename-box needs OLD and NEW"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string oldName = FromArg(args[0]);
    if (!tool->Known(oldName)) return kExitFailed;
    if (TMailboxName::IsSystem(oldName)) return Refuse("\"" + oldName + "\" is a system mailbox and keeps its name");
    if (!tool->Operations().RenameMailbox(oldName, FromArg(args[1])))
        return ctx.prompt.ErrorCount() ? kExitFailed : Refuse("a mailbox needs a name");
    return kExitOk;
}
