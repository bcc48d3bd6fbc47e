#include <iostream>

#include "ToolStore.h"
#include "book/FilterActions.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/LockedPrompt.h"
#include "common/TaskQueue.h"
#include "common/Windows1252.h"
#include "config/ConfigKeys.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MessageParser.h"
#include "incoming/MessageStorer.h"
#include "incoming/ProcessThread.h"

namespace {

// The tool runs unattended: a filter's move happens, its notifications are
// only told on stderr.
class TToolFilterActions : public IFilterActions {
public:
    explicit TToolFilterActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override { return store_.Tree().IndexOf(name) >= 0; }
    void RunProgram(const std::string& path) override { Tell("run program " + path); }
    void PlaySound(const std::string& path) override { Tell("play sound " + path); }
    void Print(const std::string&, const std::string& subject) override { Tell("print \"" + subject + "\""); }

private:
    static void Tell(const std::string& what) { std::cerr << "skfp-tool: filter: " << cp1252::ToUtf8(what) << '\n'; }
    TMailStore& store_;
};

}  // namespace

int ProcessCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"process takes no arguments"};
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const TFolders* folders = ctx.Folders();
    TMailStore& store = tool->Store();

    TFilterList filters;
    filters.Load(folders->data + cfg::kFilterFile);
    TToolFilterActions actions(store);
    TLockedPrompt prompt(ctx.prompt);
    TSystemClock clock;
    TTaskQueue main;
    bool allStored = true;
    {
        TDecodeGroup decoders;
        TMessageParser parser(folders->data, folders->attach, prompt, decoders, clock);
        TMessageStorer storer(store, filters.Rows(), actions);
        TProcessQueue queue(
            folders->data, parser, main,
            [&](TParsedMessage& message, const std::string& mailbox) {
                const int handle = storer.Store(message, mailbox);
                const THeaderItem* item = store.Headers().At(handle);
                if (!item) return handle;
                if (item->Offset < 0) allStored = false;
                PrintLine(std::to_string(handle) + "\t" + item->Mailbox.str() + "\t" + item->Subject.str());
                return handle;
            },
            nullptr);
        queue.Start();
        while (!queue.Idle()) main.WaitAndRun(std::chrono::milliseconds(20));
        main.RunPending();
        // The attachment files are complete only when their threads are done.
        decoders.WaitAll();
    }
    return allStored ? kExitOk : kExitFailed;
}
