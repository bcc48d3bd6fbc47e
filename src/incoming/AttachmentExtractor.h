#pragma once

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "incoming/MailHeader.h"

class IUserPrompt;
class TDecodeGroup;
class TDownloadFile;
class TLineReader;

// Takes an attachment part out of a downloaded message: chooses its file in
// the attachment folder, copies the part's encoded lines into a temporary
// ".att" file of the data folder and turns that into the attachment, in place
// (quoted-printable, unencoded) or through a decoding thread (base64,
// uuencode). The message is left after the part's boundary line.
class TAttachmentExtractor {
public:
    // Folders with a trailing "/".
    TAttachmentExtractor(std::string attachFolder, std::string dataFolder, IUserPrompt& prompt, TDecodeGroup& group);

    // fileName is the sender's (UTF-8); the chosen path is appended to
    // attachments before its file is complete. An empty boundary takes the
    // rest of the message. source learns when the attachment is not whole.
    void Extract(std::string_view fileName, TLineReader& message, std::string_view boundary, TTransferEncoding encoding,
                 std::vector<std::string>& attachments, const std::shared_ptr<TDownloadFile>& source);

private:
    // A new temporary file, created; empty path and null when none can be.
    std::FILE* CreateTemporary(std::string& path);
    void ReportCopyFailure(const char* reason);
    // " could not decode attachment NAME.", with the system's reason when a
    // write failed (error not 0).
    void ReportLost(const std::string& name, int error);

    std::string attachFolder_;
    std::string dataFolder_;
    IUserPrompt& prompt_;
    TDecodeGroup& group_;
    std::mt19937 random_;
    // Per safe name, the number to try first for its next attachment.
    std::unordered_map<std::string, int> nextNumber_;
};
