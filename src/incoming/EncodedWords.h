#pragma once

#include <string>
#include <string_view>

// Header texts as people read them: RFC 2047 encoded words
// ("=?charset?B|Q?text?=") decoded, and raw 8-bit bytes read as UTF-8 when
// they are valid UTF-8, else as Windows-1252.
namespace encodedwords {

std::string DecodeToUtf8(std::string_view raw);
// The same as stored text (common/FieldText.h), whole.
std::string ToStoredText(std::string_view raw);

}  // namespace encodedwords
