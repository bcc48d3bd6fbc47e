#pragma once

#include <string>
#include <string_view>

// Where a received attachment goes in the attachment folder.
namespace attachmentpath {

// The sender's file name made safe (UTF-8 in, UTF-8 out): any folder part
// ("/" or "\") dropped, control characters removed, every other character
// kept, cut at a whole character to a length in bytes the file system takes;
// ".", ".." and nothing at all become "attachment".
std::string SafeName(std::string_view name);

// folder + name when no such file exists, else the first free
// "base (n).ext" for n = 2, 3, ... The file is created empty at once, so
// that two attachments of one name never get the same path. Empty when
// name is empty or no file can be created. With next, the search starts at
// that n (1 is the name itself) and next becomes the n after the one taken:
// a caller that keeps it per name does not probe the same taken names again
// for every further attachment of that name.
std::string Unique(const std::string& folder, std::string_view name, int* next = nullptr);

}  // namespace attachmentpath
