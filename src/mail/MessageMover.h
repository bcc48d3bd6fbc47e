#pragma once

#include <string>
#include <vector>

class TMailStore;

// Moving messages between mailboxes, to the "Trash Can" or to any other:
// the bodies go to the target's message file, the sources are compacted (and
// their indexes saved on their own when compaction fails, or the moved
// records would come back at the next start), the target's index is saved,
// the bold marks and the trash picture follow. Failures are shown through
// the store's prompt; no flag is held by the caller.
class TMessageMover {
public:
    struct TReport {
        int moved = 0;
        // Records that stayed where they were (their failure was shown, or
        // their body could not be read).
        int stayed = 0;
        // Every source mailbox was compacted.
        bool compacted = true;
    };

    explicit TMessageMover(TMailStore& store) : store_(store) {}

    // Moves the records of handles to target. A handle without a record
    // loses its row, if it has one, and counts neither way.
    TReport MoveToMailbox(const std::vector<int>& handles, const std::string& target);
    // Moves the records to the "Trash Can"; records already there stay.
    TReport MoveToTrash(const std::vector<int>& handles);

    static std::string DeleteFailure();

private:
    enum class TKind { Move, Trash };
    TReport Move(const std::vector<int>& handles, const std::string& target, TKind kind);
    bool MoveOne(int handle, const std::string& target, TKind kind);
    void DropRow(int handle);

    TMailStore& store_;
};
