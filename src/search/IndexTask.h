#pragma once

#include <cstdint>
#include <string>

#include "search/SearchIndex.h"

// One change for the index writer to make, in the order the store made it.
struct TIndexTask {
    enum class TKind { Put, Remove, Update, Relocate, Rename, Mark };
    TKind kind = TKind::Put;
    // Put: the document, its body as spaced text; Update: id and fields; Relocate: id, mailbox, offset and
    // size; Rename: mailbox is the old name, text the new one; Mark: the
    // mailbox and its mark in text.
    TIndexDoc doc;
    std::string text;
    std::size_t bytes = 0;  // of the body text, while it waits
};
