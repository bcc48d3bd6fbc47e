#include "ToolStore.h"

int MkboxCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.empty() || args.size() > 2) throw TUsageError{"mkbox needs NAME and an optional PARENT"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    int parent = -1;
    if (args.size() == 2) {
        const std::string parentName = FromArg(args[1]);
        if (!tool->Known(parentName)) return kExitFailed;
        parent = tool->Store().Tree().IndexOf(parentName);
    }
    const auto name = tool->Operations().CreateMailbox(FromArg(args[0]), parent);
    if (!name) return ctx.prompt.ErrorCount() ? kExitFailed : Refuse("a mailbox needs a name");
    PrintLine(*name);
    return ctx.prompt.ErrorCount() == 0 ? kExitOk : kExitFailed;
}
