#include "ToolStore.h"

int MailboxesCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"mailboxes takes no arguments"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    auto& store = tool->Store();
    for (const auto& node : store.Tree().Nodes()) {
        PrintLine(std::string(static_cast<std::size_t>(node.depth), '\t') + node.name + "\t" +
                  std::to_string(store.Headers().Count(node.name)) + "\t" +
                  std::to_string(store.Headers().CountNew(node.name)));
    }
    return kExitOk;
}
