#pragma once

#include "store/MailStore.h"

// The records and files under the store, for the tests of the file layer:
// they set up what no record operation makes (a region pointing outside its
// file, a record dropped without its index knowing) and call the file layer
// directly. Nothing else changes the store this way.
struct TRawStoreAccess {
    static THeaderItem& Record(TMailStore& store, int handle) { return *store.headers_.Slot(handle); }
    static TMailboxFiles& Files(TMailStore& store) { return store.files_; }
    static void Drop(TMailStore& store, int handle) { store.headers_.Take(handle); }
};
