#include "incoming/AttachmentExtractor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"
#include "incoming/AttachmentPath.h"
#include "incoming/DownloadFile.h"
#include "incoming/LineReader.h"
#include "incoming/MimeDecodeThread.h"
#include "incoming/QuotedPrintable.h"
#include "incoming/UUDecodeThread.h"

namespace {

bool HasBoundary(const std::string& line, std::string_view boundary) { return mailheader::IsDelimiter(line, boundary); }

void SkipToBoundary(TLineReader& message, std::string_view boundary) {
    std::string line;
    while (message.Next(line))
        if (HasBoundary(line, boundary)) return;
}

// The line that ends a POP3 download: in the message itself every line
// beginning with "." had its dot doubled, so a single one is never content.
bool IsTerminator(const TLineReader& message, const std::string& line) {
    return line == "." && message.LastLine() == ".";
}

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// The first write that failed, with the system's reason (a full disk, an
// input/output error), so that the report names it.
struct TWrites {
    int error = 0;
    bool Ok() const { return error == 0; }
    void Check(bool written) {
        if (!written && error == 0) error = errno != 0 ? errno : EIO;
    }
};

bool WriteLine(std::FILE* f, const std::string& line) {
    return std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fwrite("\r\n", 1, 2, f) == 2;
}

bool IsUUEnd(const std::string& line) {
    const auto b = line.find_first_not_of(" \t");
    return b != std::string::npos && line.compare(b, 3, "end") == 0 &&
           line.find_first_not_of(" \t", b + 3) == std::string::npos;
}

}  // namespace

TAttachmentExtractor::TAttachmentExtractor(std::string attachFolder, std::string dataFolder, IUserPrompt& prompt,
                                           TDecodeGroup& group)
    : attachFolder_(std::move(attachFolder)),
      dataFolder_(std::move(dataFolder)),
      prompt_(prompt),
      group_(group),
      random_(std::random_device{}()) {}

std::FILE* TAttachmentExtractor::CreateTemporary(std::string& path) {
    std::uniform_int_distribution<int> pick(0, 99999998);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = dataFolder_ + std::to_string(pick(random_)) + ".att";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (std::FILE* f = ::fdopen(fd, "wb")) return f;
            ::close(fd);
            ::unlink(path.c_str());
            break;
        }
        if (errno != EEXIST) break;
    }
    path.clear();
    return nullptr;
}

void TAttachmentExtractor::ReportLost(const std::string& name, int error) {
    std::string text = std::string(kAppTitle) + " could not decode attachment " + name + ".";
    if (error != 0) text += "\nReason: " + std::generic_category().message(error) + ".";
    prompt_.Error(text);
}

void TAttachmentExtractor::ReportCopyFailure(const char* reason) {
    prompt_.Error(std::string(kAppTitle) + " could not decode this UUencoded file.\nReason: " + reason +
                  "\nFix: None available in this version.");
}

void TAttachmentExtractor::Extract(std::string_view fileName, TLineReader& message, std::string_view boundary,
                                   TTransferEncoding encoding, std::vector<std::string>& attachments,
                                   const std::shared_ptr<TDownloadFile>& source) {
    const auto lost = [&] {
        if (source) source->Fail();
    };
    const std::string name = attachmentpath::SafeName(fileName);
    const std::string target = attachmentpath::Unique(attachFolder_, name, &nextNumber_[name]);
    if (target.empty()) {
        // The attachment folder is missing or refuses the file.
        prompt_.Error(std::string(kAppTitle) + " could not decode attachment " + name + ".");
        lost();
        SkipToBoundary(message, boundary);
        return;
    }
    attachments.push_back(target);

    std::string temp;
    std::string line;
    switch (encoding) {
        case teBase64: {
            std::FILE* f = CreateTemporary(temp);
            if (!f) {
                prompt_.Error(std::string(kAppTitle) + " could not decode attachment " +
                              target.substr(attachFolder_.size()) + ".");
                lost();
                SkipToBoundary(message, boundary);
                return;
            }
            TWrites writes;
            bool atBoundary = false, data = false;
            while (message.Next(line)) {
                // Blank lines may stand between the part header and the data.
                if (!data && IsBlank(line) && !HasBoundary(line, boundary)) continue;
                if (IsTerminator(message, line)) break;
                data = true;
                if (IsBlank(line) || line.back() == '=') {
                    while (!line.empty() && line.back() == '=') line.pop_back();
                    if (!line.empty() && writes.Ok()) writes.Check(WriteLine(f, line));
                    break;
                }
                if (HasBoundary(line, boundary)) {
                    atBoundary = true;
                    break;
                }
                if (writes.Ok()) writes.Check(WriteLine(f, line));
            }
            if (!atBoundary) SkipToBoundary(message, boundary);
            writes.Check(std::fclose(f) == 0);
            if (!writes.Ok()) {
                // Nothing whole to decode: the temporary file goes, the
                // download is kept.
                ReportLost(target.substr(attachFolder_.size()), writes.error);
                lost();
                ::unlink(temp.c_str());
                return;
            }
            TMimeDecodeThread::Start(temp, target, prompt_, group_, source);
            return;
        }
        case teUUEncode: {
            std::FILE* f = CreateTemporary(temp);
            if (!f) {
                ReportCopyFailure("I/O error encountered in UUDecode module.");
                lost();
                SkipToBoundary(message, boundary);
                return;
            }
            bool begun = false, atBoundary = false;
            while (message.Next(line)) {
                if (HasBoundary(line, boundary)) {
                    atBoundary = true;
                    break;
                }
                if (text::ToLowerAscii(line).find("begin") != std::string::npos) {
                    begun = true;
                    break;
                }
            }
            bool ok = true, ended = false;
            if (begun) {
                while (message.Next(line)) {
                    if (HasBoundary(line, boundary)) {
                        atBoundary = true;
                        break;
                    }
                    if (ended || line.empty()) continue;
                    if (IsUUEnd(line)) {
                        ended = true;
                        continue;
                    }
                    if (ok && !WriteLine(f, line)) {
                        ok = false;
                        lost();
                        ReportCopyFailure("Invalid character or termination code encountered.");
                    }
                }
            }
            if (message.Failed()) {
                ReportCopyFailure("Invalid character or termination code encountered.");
                lost();
            }
            if (!atBoundary && begun) SkipToBoundary(message, boundary);
            if (std::fclose(f) != 0) {
                if (ok) ReportLost(target.substr(attachFolder_.size()), errno);
                lost();
            }
            TUUDecodeThread::Start(temp, target, prompt_, group_, source);
            return;
        }
        case teNone:
        case teQuotedPrintable: {
            std::FILE* f = CreateTemporary(temp);
            if (!f) {
                prompt_.Error(std::string(kAppTitle) +
                              " could not decode this UUencoded file.\nReason: I/O error encountered in QtPrn module.\n"
                              "Fix: None available in this version.");
                lost();
                SkipToBoundary(message, boundary);
                return;
            }
            // CR LF between the lines, none after the last: the line end before
            // a boundary belongs to the boundary (RFC 2046 5.1.1).
            TWrites writes;
            bool first = true;
            while (message.Next(line)) {
                if (HasBoundary(line, boundary) || IsTerminator(message, line)) break;
                if (writes.Ok() && !first) writes.Check(std::fwrite("\r\n", 1, 2, f) == 2);
                if (writes.Ok()) writes.Check(std::fwrite(line.data(), 1, line.size(), f) == line.size());
                first = false;
            }
            writes.Check(std::fclose(f) == 0);
            const std::string shown = target.substr(attachFolder_.size());
            if (!writes.Ok() || message.Failed()) {
                ReportLost(shown, writes.error);
                lost();
                ::unlink(temp.c_str());
                return;
            }
            if (encoding == teQuotedPrintable && !quotedprintable::DecodeFile(temp, prompt_)) lost();
            // The attachment folder may lie on another file system than the
            // data folder: the file is then copied across.
            if (!fileutil::MoveReplacing(temp, target)) {
                ReportLost(shown, errno);
                lost();
                ::unlink(temp.c_str());
            }
            return;
        }
    }
    SkipToBoundary(message, boundary);
}
