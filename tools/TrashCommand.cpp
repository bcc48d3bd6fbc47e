#include "ToolStore.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageMover.h"

int TrashCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"trash needs one HANDLE"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    const TMessageMover::TReport report =
        TMessageMover(tool->Store()).MoveToTrash({tool->Store().Headers().HandleOf(item)});
    return report.moved == 1 && report.compacted ? kExitOk : kExitFailed;
}

int EmptyTrashCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"empty-trash takes no arguments"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    bool compacted = true;
    const int destroyed = TMessageDestroyer(tool->Store()).EmptyTrash(&compacted);
    PrintLine(std::to_string(destroyed));
    return compacted ? kExitOk : kExitFailed;
}
