#include "ToolStore.h"
#include "store/MailboxName.h"

int RmboxCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"rmbox needs one NAME"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string name = FromArg(args[0]);
    if (!tool->Known(name)) return kExitFailed;
    if (TMailboxName::IsSystem(name)) return Refuse("\"" + name + "\" is a system mailbox and cannot be deleted");
    if (tool->Store().Tree().Count() <= 2) return Refuse("the last mailboxes cannot be deleted");
    // A refusal after the question (No, or child mailboxes) has its text on
    // stderr already.
    return tool->Operations().DeleteMailbox(name) ? kExitOk : kExitFailed;
}
