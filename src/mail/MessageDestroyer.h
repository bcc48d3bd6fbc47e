#pragma once

#include <string>
#include <vector>

class TMailStore;

// Destroying messages for good: single records, and every record of the
// "Trash Can" at once. Rows, open windows (through the headers' observers),
// bold marks, the new-message count and the trash picture follow; the
// indexes are saved (the trash is compacted). Asking the user first is the
// caller's part.
class TMessageDestroyer {
public:
    explicit TMessageDestroyer(TMailStore& store) : store_(store) {}

    // Destroys the records of handles; each mailbox touched has its index
    // saved once. The number destroyed (handles without a record count not).
    int Destroy(const std::vector<int>& handles);
    // Destroys every record of the "Trash Can" and compacts it; the number
    // destroyed. False in compacted when the compaction failed (the index is
    // then saved on its own).
    int EmptyTrash(bool* compacted = nullptr);

    static std::string DestroyQuestion(const std::string& subject);
    static std::string EmptyTrashQuestion(int count);

private:
    TMailStore& store_;
};
