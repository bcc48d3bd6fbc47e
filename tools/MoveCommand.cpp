#include "ToolStore.h"

int MoveCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 2) throw TUsageError{"move needs HANDLE and MAILBOX"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    const std::string target = FromArg(args[1]);
    if (!tool->Known(target)) return kExitFailed;
    const std::string source = item->Mailbox;
    if (source == target) return Refuse("Can not move message to the same mailbox.");
    auto& ops = tool->Operations();
    auto& files = tool->Store().Files();
    if (!ops.MoveRecord(*item, target)) return kExitFailed;
    if (item->Mailbox == source) return Refuse("the body of message " + args[0] + " could not be read; it stays");
    // Compaction rewrites the source's index without the record; when it
    // fails the index is saved on its own, or the record would come back.
    if (!ops.CompactWithReport(source)) {
        files.SaveIndex(source);
        files.SaveIndex(target);
        return kExitFailed;
    }
    files.SaveIndex(target);
    ops.RefreshTrashIndicator();
    return kExitOk;
}
