#include "ToolStore.h"
#include "mail/MessageDestroyer.h"

int DestroyCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"destroy needs one HANDLE"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    TMessageDestroyer(tool->Store()).Destroy({tool->Store().Headers().HandleOf(item)});
    return ctx.prompt.ErrorCount() == 0 ? kExitOk : kExitFailed;
}
