#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class IMainThread;
class TMessageParser;
struct TParsedMessage;

// Stores one parsed message into a mailbox on the main thread; the handle.
using TStoreMessage = std::function<int(TParsedMessage&, const std::string& mailbox)>;

// One processing run: its own list of ".tsg" files, parsed one after another
// on the processing thread, each handed to the main thread to be stored.
// The next file is read once the previous one is stored, so at most one
// parsed message waits in memory.
class TProcessThread {
public:
    static constexpr const char* kTargetMailbox = "In Box";

    explicit TProcessThread(std::vector<std::string> fileList) : FileList(std::move(fileList)) {}

    const std::vector<std::string> FileList;
    const std::string TargetMailbox = kTargetMailbox;
};

// The processing runs of the program, one at a time on one thread at idle
// priority: a run asked for while one is busy waits its turn, and a file
// already queued or being processed is not taken twice. Lives on the main
// thread; the destructor stops after the file in progress.
class TProcessQueue {
public:
    TProcessQueue(std::string dataFolder, TMessageParser& parser, IMainThread& main, TStoreMessage store,
                  std::function<void()> runFinished);
    ~TProcessQueue();
    TProcessQueue(const TProcessQueue&) = delete;
    TProcessQueue& operator=(const TProcessQueue&) = delete;

    // Queues a run over every ".tsg" file of the data folder (a run with no
    // files too: it still ends with runFinished).
    void Start();
    // No run queued or busy.
    bool Idle() const;

    // The ".tsg" files of a folder in name order.
    static std::vector<std::string> DownloadedFiles(const std::string& folder);

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::vector<std::string>> runs;
        std::set<std::string> taken;
        bool active = false;
        bool cancelled = false;
    };
    void Work();
    void Process(const TProcessThread& run);

    std::string dataFolder_;
    TMessageParser& parser_;
    IMainThread& main_;
    TStoreMessage store_;
    std::function<void()> runFinished_;
    std::shared_ptr<State> state_;
    std::thread worker_;
};
