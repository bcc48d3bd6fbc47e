#include "mail/RecordBody.h"

#include "common/Windows1252.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "store/MailStore.h"

bool TRecordBody::IsRich(std::string_view stored) {
    const std::size_t first = stored.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && stored.substr(first, 5) == "{\\rtf";
}

TRichDocument TRecordBody::DocumentOf(const std::string& stored) {
    return IsRich(stored) ? TRtfReader::Read(stored) : FromPlain(stored);
}

TRichDocument TRecordBody::FromPlain(const std::string& body) {
    TRichDocument doc;
    std::u32string line;
    const auto flush = [&] {
        doc.AddParagraph(std::move(line), doc.defaultChar, doc.defaultPara);
        line.clear();
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r') {
            if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
            flush();
        } else if (c == '\n') {
            flush();
        } else {
            line.push_back(cp1252::ToUnicode(static_cast<unsigned char>(c)));
        }
    }
    if (!line.empty()) flush();
    return doc;
}

std::optional<std::string> TRecordBody::Stored(int handle) const {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return std::nullopt;
    std::string body;
    if (!store_.Files().ReadBody(*item, body)) return std::nullopt;
    return body;
}

std::optional<TRichDocument> TRecordBody::Document(int handle) const {
    const auto body = Stored(handle);
    if (!body) return std::nullopt;
    return DocumentOf(*body);
}

std::optional<std::string> TRecordBody::Text(int handle) const {
    const auto doc = Document(handle);
    if (!doc) return std::nullopt;
    return plaintext::Utf8(*doc);
}
