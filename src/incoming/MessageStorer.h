#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"

class IFilterActions;
class TMailStore;
struct TParsedMessage;

// The main-thread half of processing: runs the incoming filters, marks the
// mailbox's node, adds the record (and its row when the mailbox is viewed),
// saves the body and only then deletes the ".tsg" file.
class TMessageStorer {
public:
    TMessageStorer(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions)
        : store_(store), filters_(filters), actions_(actions) {}

    // The new record's handle. A body that cannot be saved leaves the record
    // without a body and the ".tsg" file for a later run.
    int Store(TParsedMessage& message, const std::string& mailbox);

private:
    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
};
