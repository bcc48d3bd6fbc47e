#pragma once

#include <string>
#include <string_view>

// Where a received attachment goes in the attachment folder.
namespace attachmentpath {

// The sender's file name made safe (UTF-8 in, UTF-8 out): any folder part
// ("/" or "\") dropped, control characters removed, characters Windows-1252
// lacks (the store keeps its paths in it) replaced by "_", cut to a length
// the file system takes; ".", ".." and nothing at all become "attachment".
std::string SafeName(std::string_view name);

// folder + name when no such file exists, else the first free
// "base (n).ext" for n = 2, 3, ... The file is created empty at once, so
// that two attachments of one name never get the same path. Empty when
// name is empty or no file can be created.
std::string Unique(const std::string& folder, std::string_view name);

}  // namespace attachmentpath
