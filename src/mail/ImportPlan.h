#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What an import reads, found by walking the path the user chose: an mbox
// file, a single message file (".eml"), a Maildir (cur/ and new/), a folder
// of message files, or a tree of these (another program's folders). Every
// mailbox is named by its path of file names under the mailbox the import
// fills; an empty path is that mailbox itself. Index and summary files of
// other programs are passed over.
struct TImportPlan {
    enum class TKind { Mbox, Message };
    struct TSource {
        std::string path;
        TKind kind = TKind::Message;
        std::vector<std::string> mailbox;  // UTF-8 file names
        std::optional<std::uint8_t> flags;  // a Maildir's status of the message
        std::uint64_t size = 0;
    };

    std::string name;  // the chosen file's or folder's name, UTF-8, extension dropped
    std::vector<TSource> sources;
    // Every mailbox under the one filled, parents before children, in the
    // order the folders were walked (a folder without messages too).
    std::vector<std::vector<std::string>> mailboxes;
    std::vector<std::string> skipped;  // files neither mail nor another program's index
    std::uint64_t totalBytes = 0;

    // Nothing (and the reason) when path holds nothing to import.
    static std::optional<TImportPlan> Make(const std::string& path, std::string& error);

    // Whether a file name is one of the indexes and summaries mail programs
    // keep beside their mailboxes (".msf", ".dat", "dovecot.index", ...).
    static bool IsIndexFile(const std::string& name);
    // Whether the first bytes of a file are those of one message (a header
    // field first).
    static bool LooksLikeMessage(const std::string& head);
};
