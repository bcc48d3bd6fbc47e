#pragma once

#include <string>
#include <string_view>

// The addresses a link in a message body may lead to. Mail comes from
// anyone: only web, FTP and mail addresses are followed, never a local
// file, a script or a program's own scheme.
namespace linktarget {

// Whether url (UTF-8, blanks around it ignored) names a followable scheme.
bool Followable(std::string_view url);

// The address of a HYPERLINK field's instruction ("HYPERLINK \"url\" \o
// \"tip\""); empty for another field, a link into the document itself (\l)
// or an address that may not be followed.
std::string FromFieldInstruction(std::string_view instruction);

}  // namespace linktarget
