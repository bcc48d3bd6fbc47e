#include "ToolStore.h"

#include <iostream>

#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/Windows1252.h"
#include "config/ConfigKeys.h"

std::unique_ptr<TToolStore> TToolStore::Open(TToolContext& ctx) {
    const TFolders* folders = ctx.Folders();
    if (!folders) return nullptr;
    auto store = std::make_unique<TToolStore>(folders->data, ctx);
    store->store_.LoadTree();
    // An index that exists follows every change the command makes, so that
    // the next search need not look for changes behind its back.
    if (fileutil::Exists(folders->data + TMailSearch::kFileName)) store->Search();
    return store;
}

TToolStore::TToolStore(const std::string& dataFolder, TToolContext& ctx)
    : config_(fileutil::FindNoCase(dataFolder, cfg::kConfigFile), &ctx.prompt),
      store_(dataFolder, config_, ctx.prompt, ctx.pump),
      operations_(store_) {}

TToolStore::~TToolStore() {
    if (!search_) return;
    search_->Finish();
    search_->Close();
}

TMailSearch& TToolStore::Search() {
    if (!search_) {
        search_ = std::make_unique<TMailSearch>(store_);
        search_->Start();
    }
    return *search_;
}

const THeaderItem* TToolStore::Record(const std::string& arg) {
    const auto handle = text::ParseInt(arg);
    if (!handle) throw TUsageError{"HANDLE must be a number"};
    const THeaderItem* item = store_.Headers().HandleToHeader(*handle);
    if (!item) {
        Refuse("message " + arg + " was destroyed");
        return nullptr;
    }
    // A handle outside the list gives a spare record that no list holds.
    return store_.Headers().HandleOf(item) < 0 ? nullptr : item;
}

bool TToolStore::Known(const std::string& name) {
    if (store_.Tree().IndexOf(name) >= 0) return true;
    Refuse("no mailbox \"" + name + "\"");
    return false;
}

int Refuse(const std::string& message) {
    std::cerr << "skfp-tool: " << cp1252::ToUtf8(message) << '\n';
    return kExitFailed;
}
