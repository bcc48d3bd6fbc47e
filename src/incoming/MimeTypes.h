#pragma once

#include <string>
#include <string_view>

// The content type of a file for outgoing attachments, from the system's
// table of types by extension.
namespace mimetypes {

inline constexpr const char* kSystemTable = "/etc/mime.types";
inline constexpr const char* kDefaultType = "application/octet-stream";

// The first type whose extensions hold the file's extension (without regard
// to case); kDefaultType when the file has no extension, the table lacks it
// or the table cannot be read.
std::string ContentTypeOf(std::string_view fileName, const std::string& table = kSystemTable);

}  // namespace mimetypes
