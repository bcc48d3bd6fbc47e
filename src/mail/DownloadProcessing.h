#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IClock;
class IFilterActions;
class IMainThread;
class IUserPrompt;
class TMailStore;
class THeaderItem;

// Processing of every download file waiting in the data folder: each file is
// parsed off the main thread, stored into the target mailbox through the
// incoming filters on the main thread, and the attachment threads finish the
// attachment files. Used after a check and for files a crashed or failed
// check left behind, by the window (Start, on its event loop) and the tool
// (Run, to the end).
class TDownloadProcessing {
public:
    // Told about each record stored, in storing order.
    using TStored = std::function<void(int handle, const THeaderItem& item)>;
    // Told on the main thread when the runs started so far are done; false
    // when a body could not be saved (its download file stays for a later
    // run).
    using TFinished = std::function<void(bool allStored)>;

    // prompt must be safe to call from the parsing thread; the filter rows
    // and actions are used while runs are busy.
    TDownloadProcessing(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions,
                        IUserPrompt& prompt, const IClock& clock, std::string dataFolder, std::string attachFolder);
    ~TDownloadProcessing();
    TDownloadProcessing(const TDownloadProcessing&) = delete;
    TDownloadProcessing& operator=(const TDownloadProcessing&) = delete;

    // Queues a run and returns at once; batches are stored through main.
    // Every Start of one object uses the same main thread. A run asked for
    // while one is busy waits its turn.
    void Start(IMainThread& main, const std::string& mailbox, TStored stored, TFinished finished);
    bool Idle() const;

    // One run carried to its end on the calling thread, attachment threads
    // included. False when a body could not be saved.
    bool Run(const std::string& mailbox, const TStored& stored);

private:
    struct TRunning;

    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
    IUserPrompt& prompt_;
    const IClock& clock_;
    std::string dataFolder_;
    std::string attachFolder_;
    std::unique_ptr<TRunning> running_;
};
