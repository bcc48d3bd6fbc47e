#include <iostream>

#include "ToolStore.h"
#include "search/SearchQuery.h"

int SearchCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.empty()) throw TUsageError{"search needs a QUERY"};
    std::string text;
    for (const auto& arg : args) text += (text.empty() ? "" : " ") + arg;
    const TSearchQuery query(text);
    if (!query.Problem().empty()) {
        std::cerr << "skfp-tool: " << query.Problem() << '\n';
        return kExitUsage;
    }
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    auto& search = tool->Search();
    const auto progress = search.Progress();
    if (progress.total > 1000) std::cerr << "indexing " << progress.total << " messages...\n";
    search.Finish();
    const auto& headers = tool->Store().Headers();
    const auto handles = search.Find(query);
    for (const int handle : handles) {
        const THeaderItem* item = headers.At(handle);
        PrintLine(std::to_string(handle) + "\t" + item->Mailbox.str() + "\t" + item->Date.str() + "\t" +
                  item->Who.str() + "\t" + item->Subject.str());
    }
    return handles.empty() ? kExitFailed : kExitOk;
}
