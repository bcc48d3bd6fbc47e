#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IClock;
class IFilterActions;
class IUserPrompt;
class TMailStore;
class THeaderItem;

// One processing run over every download file waiting in the data folder,
// carried to its end: each file is parsed off the calling thread, stored
// into the target mailbox through the incoming filters, and the attachment
// threads are waited for. Used after a check and for files a crashed or
// failed check left behind.
class TDownloadProcessing {
public:
    // Told about each record stored, in storing order.
    using TStored = std::function<void(int handle, const THeaderItem& item)>;

    // prompt must be safe to call from the parsing thread.
    TDownloadProcessing(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions,
                        IUserPrompt& prompt, const IClock& clock, std::string dataFolder, std::string attachFolder)
        : store_(store), filters_(filters), actions_(actions), prompt_(prompt), clock_(clock),
          dataFolder_(std::move(dataFolder)), attachFolder_(std::move(attachFolder)) {}

    // False when a body could not be saved (its download file stays for a
    // later run).
    bool Run(const std::string& mailbox, const TStored& stored);

private:
    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
    IUserPrompt& prompt_;
    const IClock& clock_;
    std::string dataFolder_;
    std::string attachFolder_;
};
