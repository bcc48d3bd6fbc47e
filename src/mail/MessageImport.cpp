#include "mail/MessageImport.h"

#include "common/DisplayDate.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/Windows1252.h"
#include "mail/MessageCreator.h"
#include "mail/RecordBody.h"
#include "richtext/RtfWriter.h"
#include "store/HeaderItem.h"

namespace {

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::u32string Decoded(const std::string& line, bool utf8) {
    std::u32string out;
    if (!utf8) {
        for (const char c : line) out.push_back(cp1252::ToUnicode(static_cast<unsigned char>(c)));
        return out;
    }
    std::size_t pos = 0;
    while (pos < line.size())
        if (const auto cp = cp1252::DecodeUtf8(line, pos)) out.push_back(*cp);
    return out;
}

}  // namespace

std::vector<std::string> TMessageImport::BodyLines(const std::string& content) {
    if (TRecordBody::IsRich(content)) return SplitLines(content);
    const bool utf8 = cp1252::IsValidUtf8(content);
    TRichDocument doc;
    for (const std::string& line : SplitLines(content))
        doc.AddParagraph(Decoded(line, utf8), doc.defaultChar, doc.defaultPara);
    return TRtfWriter::Lines(doc);
}

std::optional<int> TMessageImport::Import(const std::string& path, std::time_t now) const {
    const auto content = fileutil::ReadAll(path);
    if (!content) return std::nullopt;
    TNewMessage message;
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // File names are UTF-8 (a byte that is not counts as Windows-1252).
    message.subject = fieldtext::Encode(name, fieldtext::kNoLimit);
    message.to = kTo;
    message.flags = mfQueued;
    message.body = BodyLines(*content);
    message.date = displaydate::Format(now);
    return TMessageCreator(store_, filters_, actions_).CreateMessage(message);
}
