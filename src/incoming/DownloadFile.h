#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// The download file a message was read from. It goes once the message is
// stored and every part of it reached its file whole. When anything of a
// stored message was lost on the way (a read error, an attachment that could
// not be written or decoded), the file is kept under the name KeptPath gives,
// out of the downloads a processing run takes, so that nothing is gone for
// good and the message is not stored again by the next run. A message that
// was not stored keeps its download as it is, for the next run. Shared by the
// parsed message and the decoding threads of its attachments: the last one
// to let go decides.
class TDownloadFile {
public:
    explicit TDownloadFile(std::string path) : path_(std::move(path)) {}
    ~TDownloadFile();
    TDownloadFile(const TDownloadFile&) = delete;
    TDownloadFile& operator=(const TDownloadFile&) = delete;

    // Where the file is now.
    std::string Path() const;
    // Where the download of a stored message that lost something is kept:
    // "name.tsg" becomes "name.kept", "name (2).kept" when that is taken.
    static std::string KeptPath(const std::string& download);
    // Where the download of a stored message waits for its attachments:
    // "name.tsg" becomes "name.stored", which no processing run takes. One
    // that a killed program left there may lack attachments: the next
    // start keeps it (KeepLeftovers).
    static std::string StoredPath(const std::string& download);
    // Keeps every download a killed program left stored but unsettled in a
    // folder (ending in "/"); the paths it kept.
    static std::vector<std::string> KeepLeftovers(const std::string& folder);
    // Something of the message was lost; safe from any thread.
    void Fail() { failed_ = true; }
    bool Failed() const { return failed_; }
    // The message's record and body are saved: the download leaves the
    // pending set at once, so that no later run stores it again while its
    // attachments are still being written.
    void Stored();

private:
    mutable std::mutex mutex_;
    std::string path_;
    std::atomic<bool> failed_{false};
    bool stored_ = false;
};
