#pragma once

#include <string>
#include <unordered_set>

// The messages a check took from one account's server, one identity per
// line, written as soon as each download file is complete and kept until the
// server confirmed the end of the session. A check that did not end that way
// (killed, crashed, the connection lost before QUIT) leaves it behind: the
// server still holds those messages, since its deletions only take effect at
// QUIT, and the next check knows they are downloaded already. It skips them,
// and deletes them from the server when asked to, whether or not the seen
// file records messages.
class TTakenJournal {
public:
    // Reads what an earlier check left at path.
    explicit TTakenJournal(std::string path);

    bool Contains(const std::string& identity) const { return earlier_.count(identity) != 0; }
    // Records one more message; false when the file could not be written.
    bool Add(const std::string& identity);
    // The session ended cleanly: nothing is left to remember.
    void Clear();

private:
    std::string path_;
    std::unordered_set<std::string> earlier_;
};
