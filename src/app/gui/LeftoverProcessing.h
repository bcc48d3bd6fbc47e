#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/Folders.h"

class IFilterActions;
class IUserPrompt;
class TFilterList;
class TMailStore;

// Processing of the ".tsg" files an earlier run downloaded but did not
// finish: parsed on the processing thread, filtered and stored into the
// "In Box" on the user-interface thread, whose rows follow at once.
class TLeftoverProcessing {
public:
    // filters are the rows the "Message Filters" page shows: an edit there
    // counts for the next message stored; actions are the filters' actions of
    // the window.
    TLeftoverProcessing(TMailStore& store, const TFolders& folders, IUserPrompt& prompt, const TFilterList& filters,
                        IFilterActions& actions);
    ~TLeftoverProcessing();
    TLeftoverProcessing(const TLeftoverProcessing&) = delete;
    TLeftoverProcessing& operator=(const TLeftoverProcessing&) = delete;

    // Queues a run over the data folder's ".tsg" files; finished is called
    // on the user-interface thread when it is done.
    void Start(std::function<void()> finished = nullptr);
    bool Idle() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
