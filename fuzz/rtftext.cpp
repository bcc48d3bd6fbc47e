// Arbitrary bytes as RTF: the text read without a document is exactly the
// text of the reader's document, whether it is read whole or in slices (of
// a size the first byte picks) with the complete lines taken off as it goes.
#include "richtext/RtfText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::u32string expected;
    for (const auto& line : plaintext::Lines(TRtfReader::Read(input))) {
        expected += line;
        expected += U'\n';
    }
    if (TRtfText::Of(input) != expected) std::abort();

    TRtfText sliced(input);
    const std::size_t slice = size > 0 ? data[0] % 16 + 1 : 1;
    std::u32string taken;
    bool more = true;
    while (more) {
        more = sliced.Read(slice);
        std::u32string& text = sliced.Text();
        const std::size_t complete = text.rfind(U'\n') + 1;  // 0 when there is no line end
        taken.append(text, 0, complete);
        text.erase(0, complete);
    }
    taken += sliced.Text();
    if (taken != expected) std::abort();
    return 0;
}
