#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"
#include "store/BodyAppend.h"

class IFilterActions;
class TMailStore;
struct TNewRecord;
struct TParsedMessage;

// The main-thread half of processing: runs the incoming filters, marks the
// mailbox's node, adds the record (and its row when the mailbox is viewed)
// and writes the body; once the body is settled on disk, the ".tsg" file
// goes.
class TMessageStorer {
public:
    TMessageStorer(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions)
        : store_(store), filters_(filters), actions_(actions) {}

    // Stores messages that arrived together, their bodies written with one
    // flush and one index save per mailbox; the new records' handles, in
    // order. A message whose body cannot be saved leaves its record without
    // a body and its ".tsg" file for a later run.
    std::vector<int> Store(std::vector<TParsedMessage>& messages, const std::string& mailbox);
    // Store with the flushes and index saves left to the result, for a
    // caller that settles it on another thread and then calls Release.
    TBodyAppend Write(std::vector<TParsedMessage>& messages, const std::string& mailbox, std::vector<int>& handles);
    // Settles the written bodies (on any thread) and lets each message whose
    // body is stored for good give up its ".tsg" file. False when any body
    // is not stored.
    static bool Release(std::vector<TParsedMessage>& messages, TBodyAppend& bodies);

private:
    // The message's record, in the mailbox the incoming filters choose.
    TNewRecord Filtered(TParsedMessage& message, const std::string& mailbox);

    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
};
