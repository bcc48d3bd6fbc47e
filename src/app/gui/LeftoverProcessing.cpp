#include "app/gui/LeftoverProcessing.h"

#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/gui/MainThreadPrompt.h"
#include "common/gui/QtMainThread.h"
#include "config/ConfigKeys.h"
#include "incoming/ProcessThread.h"
#include "mail/DownloadProcessing.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"

struct TLeftoverProcessing::Parts {
    Parts(TMailStore& store, const TFolders& folders, IUserPrompt& prompt, const TFilterList& filters,
          IFilterActions& actions)
        : workerPrompt(prompt),
          processing(store, filters.Rows(), actions, workerPrompt, clock, folders.data, folders.attach) {}
    // The processing below waits for its threads as it goes; none of them
    // may still wait for a box that the ending window will never show.
    ~Parts() { workerPrompt.Close(); }

    TQtMainThread main;
    TMainThreadPrompt workerPrompt;
    TSystemClock clock;
    TDownloadProcessing processing;  // last: its runs stop before the parts they use go
};

TLeftoverProcessing::TLeftoverProcessing(TMailStore& store, const TFolders& folders, IUserPrompt& prompt,
                                         const TFilterList& filters, IFilterActions& actions)
    : parts_(std::make_unique<Parts>(store, folders, prompt, filters, actions)) {}

TLeftoverProcessing::~TLeftoverProcessing() = default;

void TLeftoverProcessing::Start(std::function<void()> finished) {
    parts_->processing.Start(parts_->main, TMailboxName::kInBox, nullptr, [finished = std::move(finished)](bool) {
        if (finished) finished();
    });
}

bool TLeftoverProcessing::Idle() const { return parts_->processing.Idle(); }
