#pragma once

#include <atomic>
#include <string>

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

    const std::string& Path() const { return path_; }
    // Where the download of a stored message that lost something is kept:
    // "name.tsg" becomes "name.kept", "name (2).kept" when that is taken.
    static std::string KeptPath(const std::string& download);
    // Something of the message was lost; safe from any thread.
    void Fail() { failed_ = true; }
    bool Failed() const { return failed_; }
    // The message's record and body are saved.
    void Stored() { stored_ = true; }

private:
    std::string path_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> stored_{false};
};
