#include "mail/MailboxImport.h"

#include <optional>

#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/MappedFile.h"
#include "common/UserPrompt.h"
#include "incoming/DecodeGroup.h"
#include "incoming/DownloadFile.h"
#include "incoming/EncodedWords.h"
#include "incoming/MailHeader.h"
#include "incoming/MboxReader.h"
#include "incoming/MessageParser.h"
#include "incoming/SourceStatus.h"
#include "mail/MessageStorer.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "store/MailboxOperations.h"

namespace {

// A batch closes at as many messages or bytes as a batch of downloads, or
// when its first message has waited as long, so the list shows progress.
constexpr std::size_t kBatchMessages = 100;
constexpr std::size_t kBatchBytes = 8u << 20;
constexpr std::chrono::milliseconds kBatchDelay{250};

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file name as a mailbox name: the characters file names of the store
// cannot hold become "_".
std::string MailboxName(const std::string& utf8) {
    std::string name = fieldtext::Encode(utf8);
    for (char& c : name)
        if (TMailboxName::kForbidden.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20) c = '_';
    const auto first = name.find_first_not_of(' ');
    return first == std::string::npos ? std::string("Imported") : name.substr(first);
}

// Header text as the parser stores it, for comparing with stored records.
std::string StoredText(const std::string& raw) {
    std::string text = encodedwords::ToStoredText(raw);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
    return text;
}

std::string RecordKey(const std::string& date, const std::string& address, const std::string& subject) {
    return date + '\x01' + address + '\x01' + subject;
}

}  // namespace

struct TMailboxImport::TParts {
    TParts(TMailboxImport& owner, const std::vector<TListRow>& filters)
        : parser(owner.dataFolder_, owner.attachFolder_, owner.prompt_, decoders, owner.clock_),
          storer(owner.store_, filters, owner.actions_) {}

    TDecodeGroup decoders;  // waits for the attachment threads when it goes
    TMessageParser parser;
    TMessageStorer storer;
    std::unique_ptr<TMappedFile> map;
    std::unique_ptr<TMboxReader> reader;
    std::vector<TParsedMessage> batch;
    std::string batchBox;
    std::size_t batchBytes = 0;
    std::chrono::steady_clock::time_point batchOpened;
    // Messages with attachments: whether each reached its file is known
    // once the decoding threads are done.
    std::vector<std::pair<std::string, std::shared_ptr<TDownloadFile>>> attached;
};

struct TMailboxImport::TNext {
    TSourceMessage message;
    std::string label;
    std::optional<std::uint8_t> flags;
    std::string mailbox;
};

TMailboxImport::TMailboxImport(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions,
                               IUserPrompt& prompt, const IClock& clock, std::string dataFolder,
                               std::string attachFolder)
    : store_(store),
      filters_(filters),
      actions_(actions),
      prompt_(prompt),
      clock_(clock),
      dataFolder_(std::move(dataFolder)),
      attachFolder_(std::move(attachFolder)) {}

TMailboxImport::~TMailboxImport() {
    // What was read is stored, and the attachment threads are waited for.
    if (parts_ && !finished_) {
        cancelled_ = true;
        Finish();
    }
}

std::string TMailboxImport::MailboxFor(const std::vector<std::string>& path) const {
    for (const auto& [segments, name] : mailboxes_)
        if (segments == path) return name;
    return summary_.mailbox;
}

bool TMailboxImport::Begin(const std::string& path, const TImportOptions& options, std::string& error) {
    auto plan = TImportPlan::Make(path, error);
    if (!plan) return false;
    plan_ = std::move(*plan);
    useFilters_ = options.filters;
    TMailboxOperations operations(store_);
    if (!options.into.empty()) {
        if (store_.Tree().IndexOf(options.into) < 0) {
            error = "there is no mailbox " + fieldtext::Decode(options.into);
            return false;
        }
        summary_.mailbox = options.into;
        // What the mailbox holds already is not imported twice.
        const THeaders& headers = store_.Headers();
        for (int h = 0; h < headers.Length(); ++h)
            if (const THeaderItem* item = headers.At(h); item && item->Mailbox.str() == options.into)
                existing_.insert(RecordKey(item->Date.str(), item->Address.str(), item->Subject.str()));
    } else {
        const auto made = operations.CreateMailbox(MailboxName(plan_.name), -1);
        if (!made) {
            error = "the mailbox " + plan_.name + " could not be made";
            return false;
        }
        summary_.mailbox = *made;
    }
    mailboxes_.push_back({{}, summary_.mailbox});
    for (const auto& box : plan_.mailboxes) {
        const std::string parent = MailboxFor(std::vector<std::string>(box.begin(), box.end() - 1));
        const auto made = operations.CreateMailbox(MailboxName(box.back()), store_.Tree().IndexOf(parent));
        mailboxes_.push_back({box, made ? *made : parent});
    }
    summary_.skipped = plan_.skipped;
    progress_.totalBytes = plan_.totalBytes;
    parts_ = std::make_unique<TParts>(*this, useFilters_ ? filters_ : noFilters_);
    return true;
}

void TMailboxImport::Damaged(const std::string& label, const std::string& reason) {
    ++summary_.damaged;
    if (summary_.reasons.size() < TImportSummary::kReasons) summary_.reasons.push_back(label + ": " + reason);
}

bool TMailboxImport::NextMessage(TNext& next) {
    TParts& parts = *parts_;
    while (true) {
        if (parts.reader) {
            if (parts.reader->Next(next.message)) {
                const auto& source = plan_.sources[source_];
                next.label = BaseName(source.path) + ", message " + std::to_string(++number_);
                next.flags.reset();
                next.mailbox = MailboxFor(source.mailbox);
                progress_.bytes = bytesBefore_ + parts.reader->Position();
                return true;
            }
            parts.reader.reset();
            parts.map.reset();
            bytesBefore_ += plan_.sources[source_].size;
            progress_.bytes = bytesBefore_;
            ++source_;
            continue;
        }
        if (source_ >= plan_.sources.size()) return false;
        const auto& source = plan_.sources[source_];
        if (source.kind == TImportPlan::TKind::Mbox) {
            parts.map = std::make_unique<TMappedFile>(source.path);
            if (!parts.map->IsOpen()) {
                Damaged(BaseName(source.path), "the file cannot be read");
                parts.map.reset();
                bytesBefore_ += source.size;
                ++source_;
                continue;
            }
            parts.reader = std::make_unique<TMboxReader>(parts.map->Bytes());
            number_ = 0;
            continue;
        }
        ++source_;
        bytesBefore_ += source.size;
        progress_.bytes = bytesBefore_;
        auto content = fileutil::ReadAll(source.path);
        if (!content) {
            Damaged(BaseName(source.path), "the file cannot be read");
            continue;
        }
        next.message = TSourceMessage{};
        next.message.bytes = std::move(*content);
        next.message.rawSize = static_cast<std::size_t>(source.size);
        next.label = BaseName(source.path);
        next.flags = source.flags;
        next.mailbox = MailboxFor(source.mailbox);
        return true;
    }
}

void TMailboxImport::Handle(TNext& next) {
    TParts& parts = *parts_;
    const std::string& bytes = next.message.bytes;
    const auto header = sourcestatus::HeaderLines(bytes);
    std::string damage = next.message.damage;
    if (header.empty() || !TImportPlan::LooksLikeMessage(header.front())) {
        if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) return;  // blank lines are no message
        if (damage.empty()) damage = "no header lines";
    }
    const std::string date = mailheader::HeaderValue(header, "Date:");
    const std::string messageId = mailheader::TrimBlanks(mailheader::HeaderValue(header, "Message-ID:"));
    if (!messageId.empty() && !seen_.insert(messageId + '\x01' + date).second) {
        ++summary_.duplicates;
        return;
    }
    if (!existing_.empty() && next.mailbox == summary_.mailbox) {
        std::string when = date.empty() ? mailheader::HeaderValue(header, "Received") : date;
        const std::string key =
            RecordKey(mailheader::DisplayDate(when, clock_), StoredText(mailheader::HeaderValue(header, "FROM")),
                      StoredText(mailheader::HeaderValue(header, "Subject")));
        if (existing_.count(key)) {
            ++summary_.duplicates;
            return;
        }
    }
    const std::string ct = mailheader::HeaderValue(header, "Content-Type");
    const std::string boundary = mailheader::ParamValue("boundary", ct);
    if (damage.empty() && (mailheader::ContentTypeFlags(ct) & ctMultipart) && !boundary.empty() &&
        bytes.find("--" + boundary + "--") == std::string::npos)
        damage = "cut short: its last MIME part never ends";

    TParsedMessage parsed = parts.parser.ParseText(bytes, next.label);
    const std::uint8_t status = next.flags ? *next.flags : sourcestatus::FromHeader(header).value_or(mfRead);
    parsed.record.Flags = static_cast<std::uint8_t>(status | (parsed.record.Flags & mfAttach));
    if (!damage.empty()) Damaged(next.label, damage);
    if (!parsed.record.Attachments.empty()) parts.attached.push_back({next.label, parsed.download});
    if (!parts.batch.empty() && parts.batchBox != next.mailbox) Flush();
    if (parts.batch.empty()) parts.batchOpened = std::chrono::steady_clock::now();
    parts.batchBox = next.mailbox;
    parts.batchBytes += parsed.body.size();
    parts.batch.push_back(std::move(parsed));
    if (parts.batch.size() >= kBatchMessages || parts.batchBytes >= kBatchBytes) Flush();
}

bool TMailboxImport::BatchWaited() const {
    return !parts_->batch.empty() && std::chrono::steady_clock::now() - parts_->batchOpened >= kBatchDelay;
}

void TMailboxImport::Flush() {
    TParts& parts = *parts_;
    if (parts.batch.empty()) return;
    std::vector<int> handles;
    TBodyAppend bodies = parts.storer.Write(parts.batch, parts.batchBox, handles);
    if (!TMessageStorer::Release(parts.batch, bodies)) summary_.allStored = false;
    if (bodies.Failed()) store_.Prompt().Error(TMailboxFiles::SaveIndexError());
    summary_.imported += handles.size();
    progress_.messages = summary_.imported;
    parts.batch.clear();
    parts.batchBytes = 0;
}

void TMailboxImport::Finish() {
    if (finished_ || !parts_) return;
    finished_ = true;
    TParts& parts = *parts_;
    Flush();
    parts.reader.reset();
    parts.map.reset();
    parts.decoders.WaitAll();
    for (const auto& [label, download] : parts.attached)
        if (download->Failed()) Damaged(label, "an attachment could not be written whole");
    parts.attached.clear();
    summary_.cancelled = cancelled_;
}

bool TMailboxImport::Step(std::chrono::milliseconds budget) {
    if (!parts_ || finished_) return false;
    const auto until = std::chrono::steady_clock::now() + budget;
    TNext next;
    while (!cancelled_) {
        if (!NextMessage(next)) {
            Finish();
            return false;
        }
        try {
            Handle(next);
        } catch (const std::bad_alloc&) {
            Damaged(next.label, "too large to read");
        }
        if (BatchWaited()) Flush();
        if (std::chrono::steady_clock::now() >= until) break;
    }
    // A batch may span steps: the store holds nothing of it until it is
    // stored whole, and a cancel or the end stores what was read.
    if (cancelled_) {
        Finish();
        return false;
    }
    return true;
}

bool TMailboxImport::Run(const std::string& path, const TImportOptions& options, std::string& error) {
    if (!Begin(path, options, error)) return false;
    while (Step(std::chrono::milliseconds(500))) {
    }
    return true;
}

std::string TImportSummary::Text() const {
    std::string text = std::to_string(imported) + (imported == 1 ? " message" : " messages") + " imported into " +
                       fieldtext::Decode(mailbox);
    if (cancelled) text += " before the import was cancelled";
    text += ".";
    if (duplicates) text += "\n" + std::to_string(duplicates) + " already there, skipped.";
    if (damaged) {
        text += "\n" + std::to_string(damaged) + (damaged == 1 ? " message was" : " messages were") +
                " damaged and imported as far as they go:";
        for (const auto& reason : reasons) text += "\n  " + reason;
        if (damaged > reasons.size()) text += "\n  ...";
    }
    if (!skipped.empty()) {
        text += "\n" + std::to_string(skipped.size()) + (skipped.size() == 1 ? " file is" : " files are") +
                " no mail and was passed over:";
        for (std::size_t i = 0; i < skipped.size() && i < kReasons; ++i) text += "\n  " + skipped[i];
    }
    if (!allStored) text += "\nSome messages could not be saved.";
    return text;
}
