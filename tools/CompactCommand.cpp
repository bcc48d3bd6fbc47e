#include "ToolStore.h"

int CompactCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"compact needs one MAILBOX"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string name = FromArg(args[0]);
    if (!tool->Known(name)) return kExitFailed;
    return tool->Operations().CompactWithReport(name) ? kExitOk : kExitFailed;
}
