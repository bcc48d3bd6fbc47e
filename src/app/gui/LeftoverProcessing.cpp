#include "app/gui/LeftoverProcessing.h"

#include "app/gui/DesktopNotifier.h"
#include "book/FilterActions.h"
#include "book/FilterList.h"
#include "common/Clock.h"
#include "common/gui/MainThreadPrompt.h"
#include "common/gui/QtMainThread.h"
#include "config/ConfigKeys.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MessageParser.h"
#include "incoming/MessageStorer.h"
#include "incoming/ProcessThread.h"
#include "store/MailStore.h"
#include "common/FileUtil.h"

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
    Parts(TMailStore& store, const TFolders& folders, IUserPrompt& prompt)
        : workerPrompt(prompt),
          actions(store),
          parser(folders.data, folders.attach, workerPrompt, decoders, clock),
          storer(store, (filters.Load(fileutil::FindNoCase(folders.data, cfg::kFilterFile)), filters.Rows()), actions),
          queue(
              folders.data, parser, main,
              [this](std::vector<TParsedMessage>& messages, const std::string& mailbox) {
                  storer.Store(messages, mailbox);
              },
              [this] {
                  if (finished) finished();
              }) {}

    TQtMainThread main;
    TMainThreadPrompt workerPrompt;
    TSystemClock clock;
    TFilterList filters;
    TWindowFilterActions actions;
    TDecodeGroup decoders;
    TMessageParser parser;
    TMessageStorer storer;
    std::function<void()> finished;
    TProcessQueue queue;  // last: stopped before the parts it uses go
};

TLeftoverProcessing::TLeftoverProcessing(TMailStore& store, const TFolders& folders, IUserPrompt& prompt)
    : parts_(std::make_unique<Parts>(store, folders, prompt)) {}

TLeftoverProcessing::~TLeftoverProcessing() = default;

void TLeftoverProcessing::Start(std::function<void()> finished) {
    parts_->finished = std::move(finished);
    parts_->queue.Start();
}

bool TLeftoverProcessing::Idle() const { return parts_->queue.Idle(); }
