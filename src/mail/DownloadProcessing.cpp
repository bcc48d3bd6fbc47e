#include "mail/DownloadProcessing.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>

#include "common/AppTitle.h"
#include "common/FieldText.h"
#include "common/TaskQueue.h"
#include "common/UserPrompt.h"
#include "incoming/DecodeGroup.h"
#include "incoming/DownloadFile.h"
#include "incoming/MessageParser.h"
#include "incoming/ProcessThread.h"
#include "mail/MessageStorer.h"
#include "mail/StoringJournal.h"
#include "store/MailStore.h"

namespace {
std::string NotStoredError() {
    return std::string(kAppTitle) + " could not store some of the messages it received.\n" +
           "Reason: The message file could not be written.\n" +
           "Fix: Free some disk space; they are stored at the next check or start.";
}
}  // namespace

// The parts of the runs, made at the first start and kept for the next.
struct TDownloadProcessing::TRunning {
    TRunning(TDownloadProcessing& owner, IMainThread& main)
        : main(main),
          journal(owner.dataFolder_),
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
                  // Where each record went, for the journal of the batch and
                  // for taking back what could not be saved.
                  struct TPlace {
                      int handle;
                      std::string mailbox;
                      std::int32_t offset;
                      std::string attachments;  // stored form, each path followed by 0x02
                  };
                  auto places = std::make_shared<std::vector<TPlace>>();
                  auto entries = std::make_shared<std::vector<TStoringJournal::TEntry>>();
                  for (std::size_t i = 0; i < handles.size() && i < messages.size(); ++i) {
                      const THeaderItem* item = owner.store_.Headers().At(handles[i]);
                      places->push_back({item ? handles[i] : -1, item ? item->Mailbox.str() : std::string(),
                                         item ? item->Offset : -1, item ? item->Attachments : std::string()});
                      if (!item || item->Offset < 0 || !messages[i].download) continue;
                      entries->push_back({owner.store_.Files().IndexPath(item->Mailbox), item->Offset, item->Size,
                                          messages[i].download->Path()});
                  }
                  // The flushes and index saves wait for the disk on the
                  // processing thread; the window keeps running.
                  return [this, &owner, &messages, bodies, entries, places] {
                      if (!entries->empty()) journal.Write(*entries);
                      const bool all = TMessageStorer::Release(messages, *bodies);
                      journal.Remove();
                      if (all) return;
                      allStored = false;
                      // A record whose body or index could not be saved (a
                      // full disk) is taken back: its download stays for the
                      // next run, and no later save of the mailbox may keep
                      // the record as well, which would store it twice.
                      const std::vector<bool>& stored = bodies->Settle();
                      auto dropped = std::make_shared<std::vector<TPlace>>();
                      for (std::size_t i = 0; i < places->size() && i < stored.size(); ++i)
                          if (!stored[i]) dropped->push_back((*places)[i]);
                      // Said once a run, after the boxes of the attachments.
                      const bool tell = !told.exchange(true);
                      const bool failed = bodies->Failed();
                      this->main.Post([&owner, dropped, failed, tell] {
                          for (const TPlace& place : *dropped) {
                              const THeaderItem* item = owner.store_.Headers().At(place.handle);
                              if (!item || !(item->Mailbox == place.mailbox) || item->Offset != place.offset) continue;
                              owner.store_.DestroyRecord(place.handle);
                              // The next run writes the attachments again;
                              // these would only be left over.
                              std::size_t from = 0;
                              for (auto end = place.attachments.find('\x02'); end != std::string::npos;
                                   from = end + 1, end = place.attachments.find('\x02', from))
                                  std::remove(fieldtext::Decode(place.attachments.substr(from, end - from)).c_str());
                          }
                          if (!tell) return;
                          owner.store_.Prompt().Error(failed ? TMailboxFiles::SaveIndexError() : NotStoredError());
                      });
                  };
              },
              [this] {
                  const bool all = allStored;
                  allStored = true;
                  told = false;
                  if (finished) finished(all);
              }) {}

    IMainThread& main;
    std::string mailbox;
    TStored stored;
    TFinished finished;
    std::atomic<bool> allStored = true;
    std::atomic<bool> told = false;  // a failure of this run was shown
    TStoringJournal journal;
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
    if (!running_) {
        running_ = std::make_unique<TRunning>(*this, main);
        // What a killed program left half settled, before any run takes
        // the downloads.
        running_->journal.Recover();
    }
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
