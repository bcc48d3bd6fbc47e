#include "incoming/MessageParser.h"

#include <algorithm>
#include <memory>

#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"
#include "common/Windows1252.h"
#include "config/ConfigKeys.h"
#include "incoming/Base64Decoder.h"
#include "incoming/CharsetConverter.h"
#include "incoming/DownloadFile.h"
#include "incoming/EncodedWords.h"
#include "incoming/LineReader.h"
#include "incoming/MailHeader.h"
#include "incoming/QuotedPrintable.h"
#include "richtext/RtfReader.h"
#include "store/RtfConvert.h"

namespace {

// Nesting deeper than this is no mail anyone wrote; its parts are skipped.
constexpr int kMaxDepth = 32;

bool HasBoundary(std::string_view line, const std::string& boundary) { return mailheader::IsDelimiter(line, boundary); }

bool IsCloseDelimiter(std::string_view line, const std::string& boundary) {
    return mailheader::IsCloseDelimiter(line, boundary);
}

void TrimEnd(std::vector<std::string>& lines) {
    for (int i = 0; i < 3 && !lines.empty(); ++i)
        if (lines.back().empty() || lines.back() == ".") lines.pop_back();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto lf = text.find('\n', start);
        std::string line = text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// A text part's lines with its transfer encoding undone, then, unless it is
// rich text already, its charset turned into UTF-8.
std::vector<std::string> DecodeText(std::vector<std::string> raw, TTransferEncoding encoding,
                                    const std::string& charset, bool rtf) {
    std::vector<std::string> lines;
    if (encoding == teBase64) {
        std::string bytes;
        TBase64Decoder decoder;
        for (const auto& l : raw) decoder.Feed(l, bytes);
        decoder.Finish(bytes);
        lines = SplitLines(bytes);
    } else if (encoding == teQuotedPrintable) {
        lines = quotedprintable::DecodeLines(raw);
    } else {
        lines = std::move(raw);
    }
    if (rtf) return lines;
    TCharsetConverter converter(charset);
    for (auto& l : lines) {
        if (converter.valid())
            l = *converter.ToUtf8(l);
        else if (!cp1252::IsValidUtf8(l))
            l = cp1252::ToUtf8(l);
    }
    return lines;
}

// Header text as the store keeps it (common/FieldText.h), whole; control
// characters (a sender's junk or an encoded word hiding one) show as blanks.
std::string Stored(std::string_view raw) {
    std::string text = encodedwords::DecodeToUtf8(raw);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
    return fieldtext::Encode(text, fieldtext::kNoLimit);
}

// A path on disk (UTF-8) as stored text.
std::string StoredPath(const std::string& path) { return fieldtext::Encode(path, fieldtext::kNoLimit); }

}  // namespace

struct TMessageParser::TPart {
    std::uint8_t flags = 0;
    std::string boundary;
    TTransferEncoding encoding = teNone;
    std::string fileName;  // UTF-8
    std::string charset;
    // Declared as something other than text: without a name it is still a
    // file (an inline image, say), never body text.
    bool binary = false;
    bool enriched = false;  // text/enriched rather than text/html
};

struct TMessageParser::TWalk {
    std::uint8_t type = 0;  // the message type flags
    // The kinds of the rich parts taken: HTML wins over enriched text.
    bool html = false;
    bool enriched = false;
    std::vector<std::string> body;
    std::vector<std::string> attachments;
    std::shared_ptr<TDownloadFile> source;
};

TMessageParser::TMessageParser(std::string dataFolder, std::string attachFolder, IUserPrompt& prompt,
                               TDecodeGroup& decoders, const IClock& clock)
    : dataFolder_(std::move(dataFolder)),
      prompt_(prompt),
      clock_(clock),
      extractor_(std::move(attachFolder), dataFolder_, prompt, decoders) {}

TMessageParser::TPart TMessageParser::ReadPartHeader(TLineReader& in) {
    std::vector<std::string> block;
    std::string line;
    while (in.Next(line)) {
        block.push_back(line);
        if (line.empty()) break;
    }
    return PartOf(block);
}

TMessageParser::TPart TMessageParser::PartOf(const std::vector<std::string>& block) {
    TPart part;
    const std::string ct = mailheader::HeaderValue(block, "Content-Type");
    const std::string disposition = mailheader::HeaderValue(block, "Content-Disposition");
    part.flags = mailheader::ContentTypeFlags(ct);
    part.boundary = mailheader::ParamValue("Boundary", ct);
    part.encoding = mailheader::TransferEncoding(mailheader::HeaderValue(block, "Content-Transfer-Encoding"));
    part.fileName = mailheader::PartFileName(disposition, ct);
    part.charset = mailheader::ParamValue("charset", ct);
    const std::string type = mailheader::TrimBlanks(ct);
    part.enriched = text::StartsWithNoCase(type, "text/enriched");
    // A part the sender marked as an attachment is a file even when it is text.
    const bool attachment = text::StartsWithNoCase(mailheader::TrimBlanks(disposition), "attachment");
    part.binary = (attachment || (!type.empty() && !text::StartsWithNoCase(type, "text/"))) &&
                  !(part.flags & (ctMultipart | ctMessage));
    return part;
}

bool TMessageParser::ReadPartLines(TLineReader& in, const std::string& boundary, std::vector<std::string>& lines) {
    std::string line;
    while (in.Next(line)) {
        if (HasBoundary(line, boundary)) return IsCloseDelimiter(in.LastLine(), boundary);
        lines.push_back(std::move(line));
    }
    return false;
}

bool TMessageParser::SkipPart(TLineReader& in, const std::string& boundary) {
    std::string line;
    while (in.Next(line))
        if (HasBoundary(line, boundary)) return IsCloseDelimiter(in.LastLine(), boundary);
    return false;
}

bool TMessageParser::HandlePart(TLineReader& in, std::uint8_t x, const TPart& part, const std::string& boundary,
                                TWalk& walk, std::vector<std::string>* plainAside) {
    if (x & ctMessage) return SkipPart(in, boundary);
    if (!part.fileName.empty() || part.binary) {
        extractor_.Extract(part.fileName, in, boundary, part.encoding, walk.attachments, walk.source);
        return IsCloseDelimiter(in.LastLine(), boundary);
    }
    std::uint8_t kind;
    if (x & ctAlternative) {
        if (x & ctPlain) {
            // The plain alternative gives way to a richer one; it is kept
            // aside in case the alternative offers none.
            std::vector<std::string> raw;
            const bool closed = ReadPartLines(in, boundary, raw);
            if (plainAside && plainAside->empty())
                *plainAside = DecodeText(std::move(raw), part.encoding, part.charset, false);
            return closed;
        }
        kind = (x & ctRtf) ? ctRtf : (x & ctRich) ? ctRich : ctPlain;
    } else {
        kind = (x & ctPlain) ? ctPlain : (x & ctRtf) ? ctRtf : (x & ctRich) ? ctRich : ctPlain;
    }
    walk.type |= kind;
    if (kind == ctRich) (part.enriched ? walk.enriched : walk.html) = true;
    std::vector<std::string> raw;
    const bool closed = ReadPartLines(in, boundary, raw);
    auto text = DecodeText(std::move(raw), part.encoding, part.charset, kind == ctRtf);
    walk.body.insert(walk.body.end(), std::make_move_iterator(text.begin()), std::make_move_iterator(text.end()));
    return closed;
}

void TMessageParser::WalkMultipart(TLineReader& in, std::uint8_t container, const std::string& boundary, TWalk& walk,
                                   int depth) {
    const std::size_t bodyBefore = walk.body.size();
    std::vector<std::string> plainAside;
    const bool alternative = (container & ctAlternative) != 0;
    bool closed = SkipPart(in, boundary);  // the preamble
    while (!closed && !in.AtEnd()) {
        const TPart part = ReadPartHeader(in);
        if (in.AtEnd() && part.flags == 0 && part.fileName.empty()) break;
        // The parts of an alternative carry its flag, so that its plain
        // part gives way; the parts of other containers only their own.
        const std::uint8_t x = static_cast<std::uint8_t>((alternative ? container : 0) | part.flags);
        if ((part.flags & ctMultipart) && !(part.flags & ctMessage) && !part.boundary.empty() && depth < kMaxDepth) {
            WalkMultipart(in, x, part.boundary, walk, depth + 1);
            closed = SkipPart(in, boundary);  // the nested part's epilogue
            continue;
        }
        if ((part.flags & ctMultipart) && depth >= kMaxDepth) {
            closed = SkipPart(in, boundary);
            continue;
        }
        closed = HandlePart(in, x, part, boundary, walk, alternative ? &plainAside : nullptr);
    }
    if (alternative && walk.body.size() == bodyBefore && !plainAside.empty()) {
        walk.type |= ctPlain;
        walk.body.insert(walk.body.end(), plainAside.begin(), plainAside.end());
    }
}

std::string TMessageParser::FormatHeader() {
    TLineReader in(fileutil::FindNoCase(dataFolder_, cfg::kFormatFile));
    std::string header, line;
    while (in.Next(line)) header += line;
    if (!in.IsOpen() || in.Failed())
        prompt_.Error(std::string(kAppTitle) +
                      " has encountered an error while loading your default header settings.\r\n"
                      "Reason: GENERAL EXCEPTION in MODULE TPROCESS.\r\n"
                      "NOTICE: Contact Fenmarch with this ERROR and wait for response.");
    return header;
}

std::optional<TParsedMessage> TMessageParser::Parse(const std::string& path) {
    const auto open = [&path] { return std::make_unique<TLineReader>(path, true); };
    if (!open()->IsOpen()) {
        prompt_.Error(std::string(kAppTitle) +
                      " could not process this message.\nReason: Message file not found. (Module-\"FRMPROCESS\")\n"
                      "Fix: Try freeing some disk space.");
        return std::nullopt;
    }
    return ParseFrom(open, path, std::make_shared<TDownloadFile>(path));
}

TParsedMessage TMessageParser::ParseText(std::string_view bytes, const std::string& source) {
    // The message is no download: nothing is removed once it is stored, but
    // the download still learns of an attachment that could not be written.
    return ParseFrom([bytes] { return std::make_unique<TLineReader>(bytes); }, source,
                     std::make_shared<TDownloadFile>(std::string()));
}

TParsedMessage TMessageParser::ParseFrom(const std::function<std::unique_ptr<TLineReader>()>& open,
                                         const std::string& path, std::shared_ptr<TDownloadFile> download) {
    const std::unique_ptr<TLineReader> reader = open();
    TLineReader& in = *reader;
    std::vector<std::string> header;
    std::string line;
    while (in.Next(line)) {
        header.push_back(line);
        if (line.empty()) break;
    }
    const std::string ct = mailheader::HeaderValue(header, "Content-Type");
    const std::uint8_t t = mailheader::ContentTypeFlags(ct);
    const std::string boundary = mailheader::ParamValue("boundary", ct);

    TWalk walk;
    walk.type = t;
    walk.source = std::move(download);
    bool single = !(t & ctMultipart) || boundary.empty();
    const TPart top = PartOf(header);
    if (single && !(t & ctMessage) && (!top.fileName.empty() || top.binary)) {
        // A message that is one attachment (a scanner's, say): the file is
        // all there is, the body stays empty.
        extractor_.Extract(top.fileName, in, "", top.encoding, walk.attachments, walk.source);
        single = false;
    } else if (!single) {
        WalkMultipart(in, t, boundary, walk, 0);
        // A multipart whose boundary never occurs is read as one text, so
        // that nothing of it is lost.
        if (walk.body.empty() && walk.attachments.empty()) single = true;
    }
    if (single) {
        const std::unique_ptr<TLineReader> reread = open();
        TLineReader& again = *reread;
        for (std::size_t i = 0; i < header.size() && again.Next(line); ++i) {
        }
        std::vector<std::string> raw;
        while (again.Next(line)) raw.push_back(line);
        if (again.Failed()) walk.source->Fail();
        const bool rtf = (t & ctRtf) != 0;
        walk.body = DecodeText(
            std::move(raw), mailheader::TransferEncoding(mailheader::HeaderValue(header, "Content-Transfer-Encoding")),
            mailheader::ParamValue("charset", ct), rtf);
        walk.type = t;
        walk.enriched = top.enriched;
        walk.html = !top.enriched;
    }

    std::vector<std::string>& body = walk.body;
    TrimEnd(body);
    if (!(walk.type & ctRtf)) {
        std::string header = FormatHeader();
        // Headings and sizes grow from the size the format file sets.
        const int base = TRtfReader::Read(header).defaultChar.halfPoints;
        if ((walk.type & ctRich) && walk.enriched && !walk.html)
            rtfconvert::EnrichedToRtf(body, base);
        else if (walk.type & ctRich)
            rtfconvert::HtmlToRtf(body, base);
        else
            rtfconvert::PlainToRtf(body);
        body.insert(body.begin(), std::move(header));
    }

    if (in.Failed()) walk.source->Fail();
    TParsedMessage message;
    message.source = path;
    message.download = std::move(walk.source);
    THeaderItem& r = message.record;
    r.Subject = Stored(mailheader::HeaderValue(header, "Subject"));
    r.CCList = Stored(mailheader::HeaderValue(header, "TO"));
    const std::string cc = mailheader::HeaderValue(header, "CC");
    if (!mailheader::TrimBlanks(cc).empty()) r.CCList += ", " + Stored(cc);
    const std::string from = mailheader::HeaderValue(header, "FROM");
    std::string who = Stored(mailheader::NamePart(from));
    if (who.empty()) who = Stored(mailheader::AddressPart(from));
    r.Who = who;
    r.Address = Stored(from);
    std::string date = mailheader::HeaderValue(header, "DATE");
    if (date.empty()) date = mailheader::HeaderValue(header, "Received");
    r.Date = mailheader::DisplayDate(date, clock_);
    for (const auto& a : walk.attachments) {
        r.Attachments += StoredPath(a);
        r.Attachments += '\x02';
    }
    r.Flags = static_cast<std::uint8_t>(r.Attachments.empty() ? mfNew : (mfNew | mfAttach));
    r.Offset = -1;
    r.Size = -1;
    r.Slack = 100;
    std::size_t total = 0;
    for (const auto& l : body) total += l.size() + 2;
    message.body.reserve(total);
    for (const auto& l : body) {
        message.body += l;
        message.body += "\r\n";
    }
    return message;
}
