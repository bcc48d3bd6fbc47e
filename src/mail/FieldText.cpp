#include "mail/FieldText.h"

#include "common/Windows1252.h"

namespace fieldtext {

std::string FromUtf8(std::string_view utf8) {
    return cp1252::IsValidUtf8(utf8) ? cp1252::FromUtf8(utf8) : std::string(utf8);
}

std::string ToUtf8(std::string_view field) { return cp1252::ToUtf8(field); }

}  // namespace fieldtext
