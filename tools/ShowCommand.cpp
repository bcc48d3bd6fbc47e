#include <iostream>

#include "ToolStore.h"

int ShowCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"show needs one HANDLE"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    std::string body;
    if (!tool->Store().Files().ReadBody(*item, body))
        return Refuse("the body of message " + args[0] + " could not be read");
    std::cout.write(body.data(), static_cast<std::streamsize>(body.size()));
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
}
