// Arbitrary bytes as a header block and as header values: the header
// routines, the encoded-word and charset decoding and the RTF converters
// must never crash, hang or read out of bounds, and their results must keep
// the promises callers rely on.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/Clock.h"
#include "common/Windows1252.h"
#include "incoming/AttachmentPath.h"
#include "incoming/EncodedWords.h"
#include "incoming/MailHeader.h"
#include "incoming/QuotedPrintable.h"
#include "store/RtfConvert.h"

namespace {
class TFixedClock : public IClock {
public:
    std::time_t Now() const override { return 0; }
    std::int64_t MonotonicMs() const override { return 0; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> block;
    std::size_t start = 0;
    while (start <= input.size()) {
        const auto lf = input.find('\n', start);
        block.emplace_back(input.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    TFixedClock clock;
    for (const char* name : {"Content-Type", "From", "Subject", "Date", "Received", "TO"}) {
        const std::string value = mailheader::HeaderValue(block, name);
        mailheader::ParamValue("boundary", value);
        mailheader::ContentTypeFlags(value);
        mailheader::TransferEncoding(value);
        mailheader::NamePart(value);
        mailheader::AddressPart(value);
        if (mailheader::DisplayDate(value, clock).size() != 17) std::abort();
        encodedwords::ToStoredText(value);
        if (!cp1252::IsValidUtf8(encodedwords::DecodeToUtf8(value))) std::abort();
        const std::string name8 = mailheader::PartFileName(value, value);
        const std::string safe = attachmentpath::SafeName(name8);
        if (safe.empty() || safe == "." || safe == ".." || safe.find_first_of("/\\") != std::string::npos) std::abort();
    }
    auto html = block;
    rtfconvert::HtmlToRtf(html);
    auto plain = block;
    rtfconvert::PlainToRtf(plain);
    for (const auto& lines : {html, plain})
        for (const auto& l : lines)
            for (char c : l)
                if (static_cast<unsigned char>(c) >= 0x80) std::abort();  // RTF stays ASCII
    quotedprintable::DecodeLines(block);
    return 0;
}
