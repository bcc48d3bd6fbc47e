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

    // Stores messages that arrived together, their bodies written with one
    // flush and one index save per mailbox; the new records' handles, in
    // order. A message whose body cannot be saved leaves its record without
    // a body and its ".tsg" file for a later run.
    std::vector<int> Store(std::vector<TParsedMessage>& messages, const std::string& mailbox);

private:
    // Filters the message and adds its record (and row); its handle.
    int Add(TParsedMessage& message, const std::string& mailbox);

    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
};
