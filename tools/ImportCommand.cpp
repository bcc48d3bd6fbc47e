#include <iostream>

#include "ToolFilterActions.h"
#include "ToolStore.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/LockedPrompt.h"
#include "config/ConfigKeys.h"
#include "mail/MailboxImport.h"

int ImportCommand(TToolContext& ctx, const TToolArgs& args) {
    std::string path, into;
    bool filters = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--into") {
            if (i + 1 >= args.size()) throw TUsageError{"--into needs a MAILBOX"};
            into = FromArg(args[++i]);
        } else if (args[i] == "--filters") {
            filters = true;
        } else if (path.empty()) {
            path = args[i];
        } else {
            throw TUsageError{"import takes one PATH"};
        }
    }
    if (path.empty()) throw TUsageError{"import needs a PATH"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const TFolders* folders = ctx.Folders();
    TMailStore& store = tool->Store();
    TFilterList filterList;
    filterList.Load(fileutil::FindNoCase(folders->data, cfg::kFilterFile));
    TToolFilterActions actions(store);
    TLockedPrompt prompt(ctx.prompt);
    TSystemClock clock;
    TMailboxImport import(store, filterList.Rows(), actions, prompt, clock, folders->data, folders->attach);
    std::string error;
    if (!import.Run(path, {into, filters}, error)) return Refuse(path + ": " + error);
    const TImportSummary& summary = import.Summary();
    std::cout << summary.Text() << '\n';
    return summary.allStored && ctx.prompt.ErrorCount() == 0 ? kExitOk : kExitFailed;
}
