#pragma once

#include <cstdio>
#include <memory>
#include <string>

class IUserPrompt;
class TDownloadFile;
class TDecodeGroup;

// A job that turns an attachment's temporary file (its encoded lines) into
// the attachment file, then deletes the temporary file. It runs on one of its
// group's threads, below normal priority, and is freed when done; no
// exception leaves it. A file that cannot be written is reported here.
// The prompt must be safe to call from any thread and outlive the group.
class TDecodeThread {
public:
    virtual ~TDecodeThread() = default;

protected:
    TDecodeThread(std::string input, std::string output, IUserPrompt& prompt, std::shared_ptr<TDownloadFile> source)
        : input_(std::move(input)), output_(std::move(output)), prompt_(prompt), source_(std::move(source)) {}

    // Hands the object to the group, which runs it on one of its threads.
    static void Launch(std::unique_ptr<TDecodeThread> thread, TDecodeGroup& group);

    // Decodes the whole input into out; false when the decoding had to stop
    // (the temporary file then stays for inspection).
    virtual bool Decode(std::FILE* in, std::FILE* out) = 0;

    IUserPrompt& Prompt() { return prompt_; }

private:
    void Run();

    std::string input_;
    std::string output_;
    IUserPrompt& prompt_;
    // The message's download file, kept when this attachment is not whole.
    std::shared_ptr<TDownloadFile> source_;
};
