#include <unistd.h>

#include <iostream>

#include "ToolStore.h"
#include "mail/RecordBody.h"

int ShowCommand(TToolContext& ctx, const TToolArgs& args) {
    const bool asText = !args.empty() && args[0] == "--text";
    if (args.size() != (asText ? 2u : 1u)) throw TUsageError{"show needs one HANDLE"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const std::string& arg = args.back();
    const THeaderItem* item = tool->Record(arg);
    if (!item) return kExitFailed;
    const TRecordBody bodies(tool->Store());
    const int handle = tool->Store().Headers().HandleOf(item);
    const auto body = asText ? bodies.Text(handle) : bodies.Stored(handle);
    if (!body) return Refuse("the body of message " + arg + " could not be read");
    // The text of a message is shown without a sender's escape sequences;
    // the stored body goes out as it is unless it goes to a terminal.
    if (asText || ::isatty(STDOUT_FILENO)) {
        const std::string shown = WithoutControls(*body, true);
        std::cout.write(shown.data(), static_cast<std::streamsize>(shown.size()));
    } else {
        std::cout.write(body->data(), static_cast<std::streamsize>(body->size()));
    }
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
}
