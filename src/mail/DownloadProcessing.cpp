#include "mail/DownloadProcessing.h"

#include <atomic>
#include <chrono>
#include <memory>

#include "common/TaskQueue.h"
#include "common/UserPrompt.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MessageParser.h"
#include "incoming/ProcessThread.h"
#include "mail/MessageStorer.h"
#include "store/MailStore.h"

// The parts of the runs, made at the first start and kept for the next.
struct TDownloadProcessing::TRunning {
    TRunning(TDownloadProcessing& owner, IMainThread& main)
        : main(main),
          parser(owner.dataFolder_, owner.attachFolder_, owner.prompt_, decoders, owner.clock_),
          storer(owner.store_, owner.filters_, owner.actions_),
          queue(
              owner.dataFolder_, parser, main,
              [this, &owner](std::vector<TParsedMessage>& messages, const std::string&) -> std::function<void()> {
                  std::vector<int> handles;
                  auto bodies = std::make_shared<TBodyAppend>(storer.Write(messages, mailbox, handles));
                  if (stored) {
                      for (const int handle : handles)
                          if (const THeaderItem* item = owner.store_.Headers().At(handle)) stored(handle, *item);
                  }
                  // The flushes and index saves wait for the disk on the
                  // processing thread; the window keeps running.
                  return [this, &owner, &messages, bodies] {
                      if (TMessageStorer::Release(messages, *bodies)) return;
                      allStored = false;
                      if (bodies->Failed())
                          this->main.Post([&owner] { owner.store_.Prompt().Error(TMailboxFiles::SaveIndexError()); });
                  };
              },
              [this] {
                  const bool all = allStored;
                  allStored = true;
                  if (finished) finished(all);
              }) {}

    IMainThread& main;
    std::string mailbox;
    TStored stored;
    TFinished finished;
    std::atomic<bool> allStored = true;
    TDecodeGroup decoders;  // waits for the attachment threads when it goes
    TMessageParser parser;
    TMessageStorer storer;
    TProcessQueue queue;  // last: stopped before the parts it uses go
};

TDownloadProcessing::TDownloadProcessing(TMailStore& store, const std::vector<TListRow>& filters,
                                         IFilterActions& actions, IUserPrompt& prompt, const IClock& clock,
                                         std::string dataFolder, std::string attachFolder)
    : store_(store),
      filters_(filters),
      actions_(actions),
      prompt_(prompt),
      clock_(clock),
      dataFolder_(std::move(dataFolder)),
      attachFolder_(std::move(attachFolder)) {}

TDownloadProcessing::~TDownloadProcessing() = default;

void TDownloadProcessing::Start(IMainThread& main, const std::string& mailbox, TStored stored, TFinished finished) {
    if (!running_) running_ = std::make_unique<TRunning>(*this, main);
    running_->mailbox = mailbox;
    running_->stored = std::move(stored);
    running_->finished = std::move(finished);
    running_->queue.Start();
}

bool TDownloadProcessing::Idle() const { return !running_ || running_->queue.Idle(); }

bool TDownloadProcessing::Run(const std::string& mailbox, const TStored& stored) {
    TTaskQueue main;
    bool allStored = true;
    running_.reset();
    Start(main, mailbox, stored, [&allStored](bool all) { allStored = all; });
    while (!Idle()) main.WaitAndRun(std::chrono::milliseconds(20));
    main.RunPending();
    // The attachment files are complete only when their threads are done.
    running_->decoders.WaitAll();
    running_.reset();
    return allStored;
}
