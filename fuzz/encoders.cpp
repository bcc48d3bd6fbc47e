// Arbitrary text through the outgoing encoders and the recipient splitter:
// quoted-printable lines stay within 76 printable characters and decode to
// the input, encoded words stay within 75, base64 has the length RFC 2045
// gives, and a recipient's parts are pieces of the entry.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Base64.h"
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
    if (qp::NeedsEncoding(text)) {
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
    return 0;
}
