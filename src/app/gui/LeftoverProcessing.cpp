#include "app/gui/LeftoverProcessing.h"

#include "app/gui/DesktopNotifier.h"
#include "book/FilterActions.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/gui/MainThreadPrompt.h"
#include "common/gui/QtMainThread.h"
#include "config/ConfigKeys.h"
#include "incoming/DownloadProcessing.h"
#include "incoming/ProcessThread.h"
#include "store/MailStore.h"

namespace {
// What a filter does from the main window: programs and sounds through the
// desktop. Printing comes with the print support of the windows.
class TWindowFilterActions : public IFilterActions {
public:
    explicit TWindowFilterActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override { return store_.Tree().IndexOf(name) >= 0; }
    void RunProgram(const std::string& path) override { desktop_.RunProgram(path); }
    void PlaySound(const std::string& path) override { desktop_.PlaySound(path); }
    void Print(const std::string&, const std::string&) override {}

private:
    TMailStore& store_;
    TDesktopNotifier desktop_;
};
}  // namespace

struct TLeftoverProcessing::Parts {
    Parts(TMailStore& store, const TFolders& folders, IUserPrompt& prompt, const TFilterList& filters)
        : workerPrompt(prompt),
          actions(store),
          processing(store, filters.Rows(), actions, workerPrompt,
                     clock, folders.data, folders.attach) {}

    TQtMainThread main;
    TMainThreadPrompt workerPrompt;
    TSystemClock clock;
    TWindowFilterActions actions;
    TDownloadProcessing processing;  // last: its runs stop before the parts they use go
};

TLeftoverProcessing::TLeftoverProcessing(TMailStore& store, const TFolders& folders, IUserPrompt& prompt,
                                         const TFilterList& filters)
    : parts_(std::make_unique<Parts>(store, folders, prompt, filters)) {}

TLeftoverProcessing::~TLeftoverProcessing() = default;

void TLeftoverProcessing::Start(std::function<void()> finished) {
    parts_->processing.Start(parts_->main, TProcessThread::kTargetMailbox, nullptr,
                             [finished = std::move(finished)](bool) {
                                 if (finished) finished();
                             });
}

bool TLeftoverProcessing::Idle() const { return parts_->processing.Idle(); }
