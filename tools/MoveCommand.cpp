#include "ToolStore.h"
#include "mail/MessageMover.h"

int MoveCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 2) throw TUsageError{"move needs HANDLE and MAILBOX"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    const std::string target = FromArg(args[1]);
    if (!tool->Known(target)) return kExitFailed;
    if (item->Mailbox == target) return Refuse("Can not move message to the same mailbox.");
    const int handle = tool->Store().Headers().HandleOf(item);
    const TMessageMover::TReport report = TMessageMover(tool->Store()).MoveToMailbox({handle}, target);
    if (report.moved == 0) {
        if (ctx.prompt.ErrorCount() > 0) return kExitFailed;
        return Refuse("the body of message " + args[0] + " could not be read; it stays");
    }
    return report.compacted ? kExitOk : kExitFailed;
}
