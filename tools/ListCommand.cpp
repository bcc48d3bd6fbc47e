#include "ToolStore.h"

int ListCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"list needs one MAILBOX"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string name = FromArg(args[0]);
    if (!tool->Known(name)) return kExitFailed;
    auto& store = tool->Store();
    store.ShowMailbox(name);
    const auto& rows = store.Rows();
    for (int i = 0; i < rows.Count(); ++i) {
        const THeaderItem* item = store.Headers().At(rows.At(i).handle);
        if (!item) continue;
        PrintLine(std::to_string(rows.At(i).handle) + "\t" + THeaderItem::StatusWord(item->Flags) + "\t" +
                  item->Date.str() + "\t" + item->Who.str() + "\t" + item->Subject.str());
    }
    return kExitOk;
}
