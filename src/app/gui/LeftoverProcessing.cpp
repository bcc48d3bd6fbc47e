#include "app/gui/LeftoverProcessing.h"

#include "app/gui/WindowFilterActions.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/gui/MainThreadPrompt.h"
#include "common/gui/QtMainThread.h"
#include "config/ConfigKeys.h"
#include "incoming/DownloadProcessing.h"
#include "incoming/ProcessThread.h"
#include "store/MailStore.h"


struct TLeftoverProcessing::Parts {
    Parts(TMailStore& store, const TFolders& folders, IUserPrompt& prompt)
        : workerPrompt(prompt),
          actions(store),
          processing(store, (filters.Load(folders.data + cfg::kFilterFile), filters.Rows()), actions, workerPrompt,
                     clock, folders.data, folders.attach) {}

    TQtMainThread main;
    TMainThreadPrompt workerPrompt;
    TSystemClock clock;
    TFilterList filters;
    TWindowFilterActions actions;
    TDownloadProcessing processing;  // last: its runs stop before the parts they use go
};

TLeftoverProcessing::TLeftoverProcessing(TMailStore& store, const TFolders& folders, IUserPrompt& prompt)
    : parts_(std::make_unique<Parts>(store, folders, prompt)) {}

TLeftoverProcessing::~TLeftoverProcessing() = default;

void TLeftoverProcessing::Start(std::function<void()> finished) {
    parts_->processing.Start(parts_->main, TProcessThread::kTargetMailbox, nullptr,
                             [finished = std::move(finished)](bool) {
                                 if (finished) finished();
                             });
}

bool TLeftoverProcessing::Idle() const { return parts_->processing.Idle(); }
