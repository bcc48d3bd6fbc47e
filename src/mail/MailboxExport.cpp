#include "mail/MailboxExport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "common/DisplayDate.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "config/AccountList.h"
#include "mail/ExportMessage.h"
#include "mail/RecordBody.h"
#include "store/MailStore.h"

namespace {

bool IsFromLine(std::string_view line) {
    const auto first = line.find_first_not_of('>');
    return first != std::string_view::npos && line.substr(first, 5) == "From ";
}

// A subject as part of a file name: none of the characters other systems'
// file names refuse (the folder may be copied to one), no control
// characters, not too long.
std::string FileStem(const std::string& utf8) {
    constexpr std::string_view kRefused = "\\/:*?\"<>|";
    std::string stem;
    for (const char c : utf8) {
        if (stem.size() >= 60 && (static_cast<unsigned char>(c) & 0xC0) != 0x80) break;
        stem.push_back(kRefused.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20 ? '_' : c);
    }
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    return stem;
}

}  // namespace

TMailboxExport::~TMailboxExport() {
    if (file_) {
        std::fclose(file_);
        ::unlink(temporary_.c_str());
    }
}

std::string TMailboxExport::MboxEntry(const std::string& message, const std::string& envelopeSender, std::time_t when) {
    std::tm tm{};
    gmtime_r(&when, &tm);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a %b %e %H:%M:%S %Y", &tm);
    std::string out = "From " + envelopeSender + " " + stamp + "\n";
    out.reserve(out.size() + message.size() + 2);
    std::string_view text = message;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (IsFromLine(line)) out += '>';
        out.append(line);
        out += '\n';
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    out += '\n';
    return out;
}

bool TMailboxExport::Begin(const std::string& mailbox, const std::string& path, TFormat format, std::string& error) {
    if (store_.Tree().IndexOf(mailbox) < 0) {
        error = "there is no mailbox " + fieldtext::Decode(mailbox);
        return false;
    }
    format_ = format;
    path_ = path;
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    const THeaders& headers = store_.Headers();
    for (int h = 0; h < headers.Length(); ++h)
        if (const THeaderItem* item = headers.At(h); item && item->Mailbox.str() == mailbox) {
            handles_.push_back(h);
            progress_.totalBytes += static_cast<std::uint64_t>(std::max(item->Size, 0));
        }
    if (format_ == TFormat::Mbox) {
        temporary_ = path_ + ".part";
        file_ = std::fopen(temporary_.c_str(), "wb");
        if (!file_) {
            error = path_ + " cannot be written";
            return false;
        }
    } else if (!fileutil::CreateFolders(path_, 0755) || !fileutil::IsDirectory(path_)) {
        error = path_ + " cannot be made a folder";
        return false;
    }
    return true;
}

void TMailboxExport::Damaged(const std::string& label, const std::string& reason) {
    ++summary_.damaged;
    if (summary_.reasons.size() < TExportSummary::kReasons) summary_.reasons.push_back(label + ": " + reason);
}

void TMailboxExport::Write(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return;  // gone while the export ran
    const std::string label = "\"" + fieldtext::Decode(item->Subject.str()) + "\"";
    auto body = TRecordBody(store_).Stored(handle);
    if (!body) {
        Damaged(label, "its body cannot be read; written without it");
        body = std::string();
    }
    const std::uint64_t number = summary_.exported + 1;
    const auto message = TExportMessage::Build(*item, *body, sender_, number);
    for (const auto& missing : message.missing) Damaged(label, "attachment " + missing + " cannot be read");
    bool written;
    if (format_ == TFormat::Mbox) {
        const std::string entry = MboxEntry(message.bytes, TExportMessage::EnvelopeSender(*item, sender_),
                                            displaydate::Parse(item->Date.str()).value_or(0));
        written = std::fwrite(entry.data(), 1, entry.size(), file_) == entry.size();
    } else {
        char number4[16];
        std::snprintf(number4, sizeof number4, "%04llu", static_cast<unsigned long long>(number));
        std::string stem = FileStem(fieldtext::Decode(item->Subject.str()));
        const std::string name = path_ + "/" + number4 + (stem.empty() ? "" : " " + stem) + ".eml";
        written = fileutil::WriteAtomically(name, message.bytes, 0644);
    }
    if (!written) {
        summary_.failed = true;
        summary_.error = path_ + " cannot be written";
        return;
    }
    ++summary_.exported;
    progress_.messages = summary_.exported;
    progress_.bytes += static_cast<std::uint64_t>(std::max(item->Size, 0));
}

void TMailboxExport::Finish() {
    if (finished_) return;
    finished_ = true;
    summary_.cancelled = cancelled_;
    if (!file_) return;
    const bool flushed = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (cancelled_ || summary_.failed || !flushed || !closed || !fileutil::ReplaceWith(temporary_, path_)) {
        ::unlink(temporary_.c_str());
        if (!cancelled_ && !summary_.failed) {
            summary_.failed = true;
            summary_.error = path_ + " cannot be written";
        }
    }
}

bool TMailboxExport::Step(std::chrono::milliseconds budget) {
    if (finished_) return false;
    const auto until = std::chrono::steady_clock::now() + budget;
    while (!cancelled_ && !summary_.failed && next_ < handles_.size()) {
        Write(handles_[next_++]);
        if (std::chrono::steady_clock::now() >= until) return true;
    }
    Finish();
    return false;
}

bool TMailboxExport::Run(const std::string& mailbox, const std::string& path, TFormat format, std::string& error) {
    if (!Begin(mailbox, path, format, error)) return false;
    while (Step(std::chrono::milliseconds(500))) {
    }
    if (summary_.failed) error = summary_.error;
    return !summary_.failed;
}

std::string TExportSummary::Text(const std::string& path) const {
    if (failed) return "The export failed: " + error + ".";
    std::string text = std::to_string(exported) + (exported == 1 ? " message" : " messages") + " exported to " + path;
    if (cancelled) text += " before the export was cancelled";
    text += ".";
    if (damaged) {
        text += "\n" + std::to_string(damaged) + (damaged == 1 ? " message was" : " messages were") +
                " written incomplete:";
        for (const auto& reason : reasons) text += "\n  " + reason;
        if (damaged > reasons.size()) text += "\n  ...";
    }
    return text;
}

std::string TMailboxExport::DefaultSender(const std::string& dataFolder) {
    const TAccountList accounts = TAccountList::Read(dataFolder);
    if (accounts.Accounts().empty()) return {};
    const TAccount& first = accounts.Accounts().front();
    return first.returnAddress.empty() ? std::string() : fieldtext::Decode(first.From());
}
