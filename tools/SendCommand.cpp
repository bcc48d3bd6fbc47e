#include "ConsoleDisplay.h"
#include "ToolFilterActions.h"
#include "ToolStore.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "compose/AttachmentValue.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "mail/MessageSender.h"
#include "transport/PosixSocketFactory.h"

int SendCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 1) throw TUsageError{"send needs HANDLE"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const THeaderItem* item = tool->Record(args[0]);
    if (!item) return kExitFailed;
    const TFolders* folders = ctx.Folders();
    TMailStore& store = tool->Store();
    TAccountList accounts = TAccountList::Read(folders->data, ctx.Secrets());
    TPosixSocketFactory net;
    TSystemClock clock;
    TConsoleDisplay display;
    TToolFilterActions actions(store);
    TMessageSender sender({net, ctx.pump, clock, ctx.prompt, display, /*mayTrustCertificates=*/false}, store, accounts,
                          TMessageSender::TLists::Read(folders->data), actions);
    const bool sent = sender.SendMessage(*item, attachmentvalue::Paths(item->Attachments));
    return sent ? kExitOk : kExitFailed;
}
