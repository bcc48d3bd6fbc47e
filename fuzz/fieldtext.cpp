// Arbitrary bytes as a stored field and as typed UTF-8: the field codec must
// give valid UTF-8, bring every text back from its stored form, keep every
// limit and cut only at whole characters.
#include "common/FieldText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Windows1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t limit = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    // As a stored field, read by this version.
    const std::string text = fieldtext::Decode(input);
    if (!cp1252::IsValidUtf8(text)) std::abort();
    const std::string stored = fieldtext::Encode(text, fieldtext::kNoLimit);
    if (fieldtext::Decode(stored) != text) std::abort();

    // As typed text: whole without a limit, a prefix within one.
    const std::string whole = fieldtext::Decode(fieldtext::Encode(input, fieldtext::kNoLimit));
    const std::string cut = fieldtext::Encode(input, limit);
    if (cut.size() > limit) std::abort();
    const std::string back = fieldtext::Decode(cut);
    if (whole.compare(0, back.size(), back) != 0) std::abort();
    if (fieldtext::Fit(stored, limit).size() > limit) std::abort();

    // Folding keeps valid text valid and compares a text equal to itself.
    if (!cp1252::IsValidUtf8(fieldtext::Fold(text))) std::abort();
    if (fieldtext::CompareNoCase(text, fieldtext::Fold(text)) != 0) std::abort();
    if (!fieldtext::ContainsNoCase(text, text)) std::abort();
    return 0;
}
