// Arbitrary text as a search query: the condition it makes is one SQLite
// accepts and runs over an index holding a few messages, with one bound
// parameter per mark, and none of the user's text in the statement itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "search/SearchIndex.h"
#include "search/SearchQuery.h"

namespace {

TSearchIndex& Index() {
    static TSearchIndex* index = [] {
        auto* i = new TSearchIndex;
        if (!i->Open(":memory:", true)) std::abort();
        i->Begin();
        const char* const bodies[] = {"quarterly budget review", "caf\xC3\xA9 cr\xC3\xA8me", " \xE6\x9D\xB1  \xE4\xBA\xAC "};
        for (int n = 0; n < 3; ++n) {
            TIndexDoc doc;
            doc.id = n + 1;
            doc.mailbox = n ? "In Box" : "Out Box";
            doc.fields.subject = "note";
            doc.fields.sender = "alice example com";
            doc.fields.date = 202601010000 + n;
            doc.fields.flags = 1 << n;
            doc.body = bodies[n];
            i->Put(doc);
        }
        i->Commit();
        return i;
    }();
    return *index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TSearchQuery query(text);
    const std::string& where = query.Where();
    std::size_t marks = 0;
    for (const char c : where) {
        if (c == '?') ++marks;
        // The statement is made of the parser's own words, numbers and marks.
        if (c == '"' || c == '\'' || c == ';' || static_cast<unsigned char>(c) >= 0x80) std::abort();
    }
    if (marks != query.Params().size()) std::abort();
    bool failed = false;
    const auto ids = Index().Find(query, 10, &failed);
    if (failed || ids.size() > 3) std::abort();
    return 0;
}
