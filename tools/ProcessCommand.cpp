#include "ToolFilterActions.h"
#include "ToolStore.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/LockedPrompt.h"
#include "config/ConfigKeys.h"
#include "incoming/ProcessThread.h"
#include "mail/DownloadProcessing.h"
#include "store/MailboxName.h"

// Stores every download file of the data folder into the In Box, one line
// per stored message; shared by "process" and "check".
int ProcessDownloads(TToolContext& ctx, TToolStore& tool) {
    const TFolders* folders = ctx.Folders();
    TMailStore& store = tool.Store();
    TFilterList filters;
    filters.Load(fileutil::FindNoCase(folders->data, cfg::kFilterFile));
    TToolFilterActions actions(store);
    TLockedPrompt prompt(ctx.prompt);
    TSystemClock clock;
    TDownloadProcessing processing(store, filters.Rows(), actions, prompt, clock, folders->data, folders->attach);
    const bool allStored = processing.Run(TMailboxName::kInBox, [](int handle, const THeaderItem& item) {
        PrintLine(std::to_string(handle) + "\t" + item.Mailbox.str() + "\t" + item.Subject.str());
    });
    return allStored ? kExitOk : kExitFailed;
}

int ProcessCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"process takes no arguments"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    return ProcessDownloads(ctx, *tool);
}
