// Arbitrary text through the outgoing encoders and the recipient splitter:
// quoted-printable lines stay within 76 printable characters and decode to
// the input, encoded words stay within 75, base64 has the length RFC 2045
// gives, and a recipient's parts are pieces of the entry. The text as a
// display name, a subject and an attachment's file name: every header field
// made of it folds into lines of at most 998 characters that cannot start a
// field of their own (no header injection) and unfold to the field, and the
// name, subject and file name read back as the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Base64.h"
#include "transport/FileNameParameter.h"
#include "transport/HeaderFold.h"
#include "transport/QuotedPrintable.h"
#include "transport/RecipientParts.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    std::abort();
}

void CheckPrintable(std::string_view s) {
    for (const char c : s)
        if ((static_cast<unsigned char>(c) < 32 && c != '\t') || static_cast<unsigned char>(c) > 126) std::abort();
}

int HexAnyCase(char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return HexValue(c);
}

// Folds a field made by the client and checks its lines; the field must be
// printable (anything else would have been encoded).
void CheckField(const std::string& field) {
    CheckPrintable(field);
    const auto lines = headerfold::Fold(field);
    std::string unfolded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.size() > headerfold::kHardLimit) std::abort();
        // A continuation starts with a blank and is not blank only; the
        // first line is the field's own.
        if (i > 0 && (l.empty() || (l[0] != ' ' && l[0] != '\t'))) std::abort();
        if (l.find_first_not_of(" \t") == std::string::npos) std::abort();
        unfolded += l;
    }
    if (unfolded != field) std::abort();
}

// The text of "Q" encoded words separated by blanks (RFC 2047, 6.2).
std::string DecodeWords(std::string_view words, std::string_view charset) {
    const std::string start = "=?" + std::string(charset) + "?Q?";
    std::string out;
    std::size_t at = 0;
    while (at < words.size()) {
        if (words.compare(at, start.size(), start) != 0) std::abort();
        at += start.size();
        const auto end = words.find("?=", at);
        if (end == std::string_view::npos || end - at + start.size() + 2 > 75) std::abort();
        for (std::size_t k = at; k < end; ++k) {
            if (words[k] == '_')
                out.push_back(' ');
            else if (words[k] == '=') {
                if (k + 2 >= end) std::abort();
                out.push_back(static_cast<char>(HexValue(words[k + 1]) * 16 + HexValue(words[k + 2])));
                k += 2;
            } else
                out.push_back(words[k]);
        }
        at = end + 2;
        if (at < words.size()) {
            if (words[at] != ' ') std::abort();
            ++at;
        }
    }
    return out;
}

// A phrase as a reader takes it: encoded words, a quoted string or atoms.
std::string ReadPhrase(const std::string& phrase) {
    if (phrase.starts_with("=?windows-1252?Q?")) return DecodeWords(phrase, "windows-1252");
    if (phrase.starts_with("\"")) {
        if (phrase.size() < 2 || phrase.back() != '"') std::abort();
        std::string out;
        for (std::size_t k = 1; k + 1 < phrase.size(); ++k) {
            if (phrase[k] == '"') std::abort();  // an unescaped quote would end it early
            if (phrase[k] == '\\') ++k;
            out.push_back(phrase[k]);
        }
        return out;
    }
    if (phrase.find_first_of("()<>[]:;@\\,.\"") != std::string::npos) std::abort();
    return phrase;
}

// The value of filename="..." or of the RFC 2231 sections of filename*.
std::string ReadFileName(const std::string& parameter) {
    if (parameter.starts_with("filename=\"")) {
        const std::string value = parameter.substr(10, parameter.size() - 11);
        if (parameter.back() != '"' || value.find_first_of("\"\\") != std::string::npos) std::abort();
        return value;
    }
    std::string bytes;
    std::size_t at = 0;
    for (int n = 0; at < parameter.size(); ++n) {
        const auto eq = parameter.find('=', at);
        const auto end = std::min(parameter.find("; ", at), parameter.size());
        if (eq == std::string::npos || eq > end) std::abort();
        std::string value = parameter.substr(eq + 1, end - eq - 1);
        if (n == 0) value.erase(0, value.find("''") + 2);
        for (std::size_t k = 0; k < value.size(); ++k) {
            if (value[k] == '%') {
                if (k + 2 >= value.size()) std::abort();
                bytes.push_back(static_cast<char>(HexAnyCase(value[k + 1]) * 16 + HexAnyCase(value[k + 2])));
                k += 2;
            } else {
                if (std::string_view("*'%()<>@,;:\\\"/[]?= ").find(value[k]) != std::string_view::npos) std::abort();
                bytes.push_back(value[k]);
            }
        }
        at = end + 2;
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = qp::EncodeLine(text);
    std::string decoded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.size() > 76) std::abort();
        CheckPrintable(l);
        const bool soft = i + 1 < lines.size();
        if (soft && (l.empty() || l.back() != '=')) std::abort();
        const std::size_t end = soft ? l.size() - 1 : l.size();
        for (std::size_t k = 0; k < end; ++k) {
            if (l[k] == '=') {
                if (k + 2 >= end) std::abort();  // an escape is whole within its line
                decoded.push_back(static_cast<char>(HexValue(l[k + 1]) * 16 + HexValue(l[k + 2])));
                k += 2;
            } else {
                decoded.push_back(l[k]);
            }
        }
    }
    if (decoded != text) std::abort();

    const std::string words = qp::EncodeHeaderText(text);
    if (qp::NeedsWords(text)) {
        CheckPrintable(words);
        std::size_t start = 0;
        for (;;) {
            const auto blank = words.find(' ', start);
            const std::size_t len = (blank == std::string::npos ? words.size() : blank) - start;
            if (len > 75) std::abort();
            if (blank == std::string::npos) break;
            start = blank + 1;
        }
    } else if (words != text) {
        std::abort();
    }

    if (base64::Encode(data, size).size() != (size + 2) / 3 * 4) std::abort();

    const std::string address = recipient::AddressOf(text);
    const std::string name = recipient::NameOf(text);
    if (address.size() > text.size() || name.size() > text.size()) std::abort();

    const std::string phrase = recipient::Phrase(text);
    if (ReadPhrase(phrase) != text) std::abort();
    CheckField("TO:       " + phrase + " <bob@example.net>,");
    const std::string subject = qp::EncodeHeaderText(text);
    if ((qp::NeedsWords(text) ? DecodeWords(subject, "windows-1252") : subject) != text) std::abort();
    CheckField("Subject:  " + subject);
    const std::string fileName = filenameparam::FileNameParameter(text);
    CheckField("Content-Disposition: attachment; " + fileName);
    if (!text.empty() && ReadFileName(fileName) != text) std::abort();
    const std::string nameParameter = filenameparam::NameParameter(text);
    CheckField("Content-Type: application/octet-stream; " + nameParameter);
    if (!text.empty() && !filenameparam::IsPlain(text) &&
        DecodeWords(nameParameter.substr(6, nameParameter.size() - 7), filenameparam::CharsetOf(text)) != text)
        std::abort();
    return 0;
}
