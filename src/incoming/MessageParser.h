#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "incoming/AttachmentExtractor.h"
#include "store/HeaderItem.h"

class IClock;
class IUserPrompt;
class TDecodeGroup;
class TDownloadFile;
class TLineReader;

// A downloaded message read and converted, ready to be stored.
struct TParsedMessage {
    std::string source;  // the ".tsg" file
    // Deletes the ".tsg" file once the body is stored and nothing of the
    // message was lost.
    std::shared_ptr<TDownloadFile> download;
    THeaderItem record;  // Mailbox still empty: the caller and the filters choose it
    std::string body;    // RTF, each line followed by CR LF
};

// Reads one ".tsg" file: the header block, the MIME structure (the text
// parts become the body, parts with a file name go to the attachment
// folder), the body converted to rich text behind the user's format file,
// and the header record. Runs on the processing thread; it touches files
// only, so it needs no busy flag.
class TMessageParser {
public:
    // Folders with a trailing "/"; the prompt must be safe to call from any thread.
    TMessageParser(std::string dataFolder, std::string attachFolder, IUserPrompt& prompt, TDecodeGroup& decoders,
                   const IClock& clock);

    // Nothing when the file has gone (the error is shown).
    std::optional<TParsedMessage> Parse(const std::string& path);
    // A message held in memory (one taken out of a mailbox file), read as a
    // download is; source names it. Its download has no file: it only
    // learns whether every attachment reached its file (once the attachment
    // threads are done). The bytes are read only during the call.
    TParsedMessage ParseText(std::string_view bytes, const std::string& source);

    // The user's rich text header: every line of the format file, joined.
    std::string FormatHeader();

private:
    struct TPart;
    struct TWalk;

    TParsedMessage ParseFrom(const std::function<std::unique_ptr<TLineReader>()>& open, const std::string& path,
                             std::shared_ptr<TDownloadFile> download);
    TPart ReadPartHeader(TLineReader& in);
    static TPart PartOf(const std::vector<std::string>& block);
    void WalkMultipart(TLineReader& in, std::uint8_t container, const std::string& boundary, TWalk& walk, int depth);
    // Handles one part against boundary; true when it ended at the close
    // delimiter of that boundary.
    bool HandlePart(TLineReader& in, std::uint8_t flags, const TPart& part, const std::string& boundary, TWalk& walk,
                    std::vector<std::string>* plainAside);
    bool ReadPartLines(TLineReader& in, const std::string& boundary, std::vector<std::string>& lines);
    bool SkipPart(TLineReader& in, const std::string& boundary);

    std::string dataFolder_;
    IUserPrompt& prompt_;
    const IClock& clock_;
    TAttachmentExtractor extractor_;
};
